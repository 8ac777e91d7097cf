// Cursor movement, bookmarks, notifications and several datasets over one table.

#include "LibraryFolder.h"

#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

using namespace data;
using data_test::LibraryFolder;

namespace {

class Navigation : public ::testing::Test {
protected:
    void SetUp() override
    {
        keywords.TableName = "KlicovaSlova.DB";
        keywords.Open();
    }
    void Fill(int count)
    {
        TTransaction t;
        for (int i = 1; i <= count; ++i) {
            keywords.Append();
            keywords.FieldByName("Nazev").SetAsString("slovo " + std::to_string(i));
            keywords.Post();
        }
        t.Commit();
    }
    std::string Current() { return keywords.FieldByName("Nazev").AsString(); }
    LibraryFolder folder;
    TTable keywords;
};

TEST_F(Navigation, StepsPastTheEndsAndBack)
{
    EXPECT_TRUE(keywords.Eof() && keywords.Bof() && keywords.IsEmpty());
    keywords.Next();
    keywords.Last();
    EXPECT_TRUE(keywords.Eof());
    Fill(3);
    keywords.Last();
    EXPECT_TRUE(keywords.Eof());
    EXPECT_EQ(Current(), "slovo 3");
    keywords.Next();
    EXPECT_EQ(Current(), "slovo 3");
    keywords.Prior();
    EXPECT_FALSE(keywords.Eof());
    EXPECT_EQ(Current(), "slovo 2");
    keywords.First();
    keywords.Prior();
    EXPECT_TRUE(keywords.Bof());
    keywords.Next();
    EXPECT_EQ(Current(), "slovo 2");
    EXPECT_EQ(keywords.MoveBy(5), 1);
    EXPECT_TRUE(keywords.Eof());
    EXPECT_EQ(keywords.MoveBy(-5), -2);
    EXPECT_TRUE(keywords.Bof());
}

TEST_F(Navigation, ReadsLongTablesInBothDirections)
{
    Fill(1000);
    keywords.SetFilter("Nazev<>'slovo 500'");
    keywords.SetFiltered(true);
    int forward = 0;
    for (keywords.First(); !keywords.Eof(); keywords.Next())
        ++forward;
    EXPECT_EQ(forward, 999);
    int backward = 0;
    std::string last;
    for (keywords.Last(); !keywords.Bof(); keywords.Prior()) {
        ++backward;
        last = Current();
    }
    EXPECT_EQ(backward, 999);
    EXPECT_EQ(last, "slovo 1");
    std::vector<Value> row;
    ASSERT_TRUE(keywords.ReadRecordAt(499, row));
    EXPECT_EQ(std::get<std::string>(row[0]), "slovo 501");
    EXPECT_FALSE(keywords.ReadRecordAt(999, row));
    keywords.SetRecNo(700);
    EXPECT_EQ(keywords.RecNo(), 700);
    EXPECT_EQ(Current(), "slovo 701");
}

TEST_F(Navigation, DeleteMovesToTheNextRecordOrThePreviousAtTheEnd)
{
    Fill(3);
    keywords.First();
    keywords.Next();
    keywords.Delete();
    EXPECT_EQ(Current(), "slovo 3");
    keywords.Delete();
    EXPECT_EQ(Current(), "slovo 1");
    keywords.Delete();
    EXPECT_TRUE(keywords.IsEmpty());
    EXPECT_THROW(keywords.Delete(), EDatabaseError);
}

TEST_F(Navigation, CancelOfAnInsertReturnsToTheRecordBefore)
{
    Fill(3);
    keywords.First();
    keywords.Next();
    keywords.Insert();
    keywords.FieldByName("Nazev").SetAsString("nové");
    keywords.Cancel();
    EXPECT_EQ(Current(), "slovo 2");
    EXPECT_EQ(keywords.RecordCount(), 3);
    keywords.Edit();
    keywords.FieldByName("Nazev").SetAsString("změna");
    keywords.Cancel();
    EXPECT_EQ(Current(), "slovo 2");
}

TEST_F(Navigation, BookmarksReturnToARecord)
{
    Fill(5);
    keywords.SetRecNo(4);
    const TBookmark mark = keywords.GetBookmark();
    keywords.First();
    EXPECT_TRUE(keywords.BookmarkValid(mark));
    keywords.GotoBookmark(mark);
    EXPECT_EQ(Current(), "slovo 4");
    keywords.Delete();
    EXPECT_FALSE(keywords.BookmarkValid(mark));
    EXPECT_THROW(keywords.GotoBookmark(mark), EDatabaseError);
}

TEST_F(Navigation, ObserversAreToldUnlessControlsAreDisabled)
{
    Fill(2);
    std::vector<TDataEvent> events;
    const int id = keywords.AddObserver([&](TDataEvent e, const TField*) { events.push_back(e); });
    keywords.Next();
    EXPECT_EQ(events.back(), TDataEvent::deDataSetScroll);
    events.clear();
    keywords.DisableControls();
    keywords.First();
    keywords.Edit();
    keywords.FieldByName("Nazev").SetAsString("x");
    keywords.Post();
    EXPECT_TRUE(events.empty());
    keywords.EnableControls();
    EXPECT_EQ(events.back(), TDataEvent::deDataSetChange);
    keywords.RemoveObserver(id);
    events.clear();
    keywords.Next();
    EXPECT_TRUE(events.empty());
}

TEST_F(Navigation, TwoDatasetsOnOneTableSeeEachOthersWrites)
{
    Fill(3);
    TTable other;
    other.TableName = "klicovaslova.db"; // letter case does not matter
    other.Open();
    other.Last();
    other.Delete();
    keywords.Last();
    EXPECT_EQ(keywords.RecordCount(), 2);
    EXPECT_EQ(Current(), "slovo 2");
    other.Append();
    other.FieldByName("Nazev").SetAsString("další");
    other.Post();
    keywords.Last();
    EXPECT_EQ(Current(), "další");
}

} // namespace
