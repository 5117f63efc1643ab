#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "config/config.h"

namespace {

struct Item {
    std::string text;
    int32_t disc;
};

struct ListCase {
    const char* list;
    int32_t discBefore;         // CurrentDiscNumber when the list starts
    std::vector<Item> items;    // what the calls yield before the first 0
};

// Takes items until 0 and then asks twice more: the end is final.
std::vector<Item> TakeAll(const char* list, int32_t discBefore, const char** cursorOut = 0)
{
    std::vector<Item> taken;
    CurrentDiscNumber = discBefore;
    const char* cursor = list;
    char item[ItemSize];
    while (NextListItem(item, &cursor) == 1) {
        taken.push_back({ item, CurrentDiscNumber });
        if (taken.size() > 50)
            break;
    }
    EXPECT_EQ(0, NextListItem(item, &cursor)) << list;
    EXPECT_EQ(0, NextListItem(item, &cursor)) << list;
    if (cursorOut)
        *cursorOut = cursor;
    return taken;
}

bool operator==(const Item& a, const Item& b)
{
    return a.text == b.text && a.disc == b.disc;
}

void PrintTo(const Item& i, std::ostream* os)
{
    *os << "\"" << i.text << "\" disc " << i.disc;
}

TEST(NextListItem, SplitsItemsAndReadsDiscPrefixes)
{
    const ListCase cases[] = {
        { " a ,b", 0, { { "a ", 0 }, { "b", 0 } } },
        { "\ta\tb", 0, { { "a\tb", 0 } } },
        { "a,,b", 0, { { "a", 0 } } },
        { "a, ,b", 0, { { "a", 0 } } },
        { "", 0, {} },
        { ",a", 0, {} },
        { "   ", 0, {} },
        { "2:x, y,3:z", 0, { { "x", 2 }, { "y", 2 }, { "z", 3 } } },
        { "C:\\x", 7, { { "\\x", 0 } } },
        { "2: x", 0, { { " x", 2 } } },
        { "2:,b", 0, { { "", 2 }, { "b", 2 } } },
        { "x:", 5, { { "", 0 } } },
        // The disc number is never reset by the list itself.
        { "a,9:b,c", 4, { { "a", 4 }, { "b", 9 }, { "c", 9 } } },
        // Line ends end an item; the list goes on behind them.
        { "a\nb", 0, { { "a", 0 }, { "b", 0 } } },
        { "a\r\nb", 0, { { "a", 0 } } },
        // Shift-JIS: "ソ" is 83 5C, "表" is 95 5C.
        { "\x83\x5C,\x95\x5C\\x", 0, { { "\x83\x5C", 0 }, { "\x95\x5C\\x", 0 } } },
    };
    for (const ListCase& c : cases)
        EXPECT_EQ(c.items, TakeAll(c.list, c.discBefore)) << "list \"" << c.list << "\"";
}

TEST(NextListItem, LeavesTheListTextUnchanged)
{
    char list[] = "2:x, y,3:z";
    TakeAll(list, 0);
    EXPECT_STREQ("2:x, y,3:z", list);
}

TEST(NextListItem, StopsOnTheTerminatingNulWithoutReadingBehindIt)
{
    // A value that fills its buffer: nothing behind its NUL belongs to it.
    char value[8] = { 'a', ',', 'b', 'c', 'd', 'e', 'f', 0 };
    const char* cursor = value;
    char item[ItemSize];
    ASSERT_EQ(1, NextListItem(item, &cursor));
    ASSERT_EQ(1, NextListItem(item, &cursor));
    EXPECT_STREQ("bcdef", item);
    EXPECT_EQ(value + 7, cursor);
    EXPECT_EQ(0, NextListItem(item, &cursor));
    EXPECT_EQ(value + 7, cursor);
    EXPECT_EQ(0, ListItemTooLong(cursor));
}

struct LengthCase {
    std::string list;
    std::vector<Item> items;   // taken before the 0
    bool refused;              // the 0 came from an item that is too long
};

TEST(NextListItem, RefusesAnItemLongerThanItsSlotInsteadOfCuttingIt)
{
    const std::string fits(ItemSize - 1, 'a');
    const std::string tooLong(ItemSize, 'b');
    const LengthCase cases[] = {
        { fits, { { fits, 0 } }, false },
        { fits + ",x", { { fits, 0 }, { "x", 0 } }, false },
        { "2:" + fits, { { fits, 2 } }, false },
        { tooLong, {}, true },
        { "ok," + tooLong + ",after", { { "ok", 0 } }, true },
        // A refused item does not set the disc number of its prefix.
        { "1:ok,2:" + tooLong, { { "ok", 1 } }, true },
        { "a,,b", { { "a", 0 } }, false },
        { "", {}, false },
    };
    for (const LengthCase& c : cases) {
        const char* cursor = 0;
        EXPECT_EQ(c.items, TakeAll(c.list.c_str(), 0, &cursor)) << c.list.substr(0, 12);
        EXPECT_EQ(c.refused, ListItemTooLong(cursor) != 0) << c.list.substr(0, 12);
    }
}

TEST(NextListItem, RefusedItemLeavesTheItemBufferAlone)
{
    std::string list(300, 'z');
    char item[ItemSize];
    strcpy(item, "before");
    const char* cursor = list.c_str();
    EXPECT_EQ(0, NextListItem(item, &cursor));
    EXPECT_STREQ("before", item);
    EXPECT_EQ(list.c_str(), cursor);
}

struct IntCase {
    const char* text;
    int32_t value;
};

TEST(TextToInt32, ConvertsLeadingDecimalNumberAndClampsToTheRange)
{
    const IntCase cases[] = {
        { "12abc", 12 }, { "abc", 0 }, { "", 0 }, { "-", 0 }, { "  -7", -7 }, { "\t42", 42 },
        { "+3", 3 }, { "1 2", 1 }, { "007", 7 }, { "2147483647", 2147483647 },
        { "2147483648", 2147483647 }, { "99999999999", 2147483647 }, { "-2147483648", INT32_MIN },
        { "-99999999999", INT32_MIN }, { "- 5", 0 },
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(c.value, TextToInt32(c.text)) << "\"" << c.text << "\"";
}

struct SizeCase {
    const char* text;
    uint64_t value;
};

TEST(TextToUInt64, ConvertsLeadingDecimalNumberAndNegatesWithTwosComplement)
{
    const SizeCase cases[] = {
        { "1234567890123456789", 1234567890123456789ull }, { "18446744073709551615", UINT64_MAX },
        { " 5x", 5 }, { "abc", 0 }, { "", 0 }, { "-1", UINT64_MAX }, { "-2", UINT64_MAX - 1 },
        { "+10", 10 },
    };
    for (const SizeCase& c : cases)
        EXPECT_EQ(c.value, TextToUInt64(c.text)) << "\"" << c.text << "\"";
}

} // namespace
