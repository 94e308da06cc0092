#include "ui_fixture.h"

namespace {

void setTable(std::initializer_list<HighScoreEntry> entries) {
    int i = 0;
    for (const HighScoreEntry& entry : entries) {
        highScores[i++] = entry;
    }
}

void expectEntry(int i, const char* name, float score) {
    EXPECT_STREQ(highScores[i].name, name) << "entry " << i + 1;
    EXPECT_EQ(highScores[i].score, score) << "entry " << i + 1;
}

class NameEntryTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        game.score = 500;
        setAppMode(AppMode::NameEntry);
    }

    static void type(std::initializer_list<int> held) {
        press(held, nameEntryIdle);
    }

    static void typeKey(int vk) {
        type({vk});
        type({});
    }
};

}  // namespace

TEST(HighScoreTable, QualifiesOnlyAboveAnEntry) {
    setTable({{"a", 30}, {"b", 20}, {"c", 10}});
    EXPECT_FALSE(scoreQualifies(10));
    EXPECT_FALSE(scoreQualifies(0));
    EXPECT_TRUE(scoreQualifies(10.5f));
    setTable({{"a", 7}, {"b", 7}, {"c", 7}});
    EXPECT_FALSE(scoreQualifies(7));
}

TEST(HighScoreTable, InsertionMovesTheLowerEntriesDown) {
    setTable({{"Pelvor", 0}, {"Morvasta", 0}, {"Zintok", 0}});
    insertHighScore("ana", 1);
    expectEntry(0, "ana", 1);
    expectEntry(1, "Pelvor", 0);
    expectEntry(2, "Morvasta", 0);

    setTable({{"a", 30}, {"b", 20}, {"c", 10}});
    insertHighScore("eq", 20);  // an equal score goes below the entry it equals
    expectEntry(0, "a", 30);
    expectEntry(1, "b", 20);
    expectEntry(2, "eq", 20);

    insertHighScore("low", 5);  // beats nothing: the table stays
    expectEntry(2, "eq", 20);
}

TEST(HighScoreTable, AnUnsortedTableIsSortedFirstKeepingTiesInOrder) {
    setTable({{"x", 5}, {"y", 50}, {"z", 5}});
    insertHighScore("new", 10);
    expectEntry(0, "y", 50);
    expectEntry(1, "new", 10);
    expectEntry(2, "x", 5);
    setTable({{"p", 1}, {"q", 3}, {"r", 3}});
    insertHighScore("s", 2);
    expectEntry(0, "q", 3);
    expectEntry(1, "r", 3);
    expectEntry(2, "s", 2);
}

TEST_F(NameEntryTest, EachKeyTypesOncePerPressInLowerCaseUnlessShifted) {
    type({'A'});
    type({'A'});
    type({'A'});
    EXPECT_STREQ(nameBuffer, "a");
    type({});
    EXPECT_EQ(game.lastFunctionKey, 0);
    typeKey('A');
    type({VkShift, 160, 'B'});
    type({VkShift, 160});  // Shift alone types nothing
    type({VkShift, 160, '7'});
    type({VkShift, 160, VkSpace});
    typeKey('Z');
    EXPECT_STREQ(nameBuffer, "aaB7 z");
    EXPECT_EQ(nameLength, 6);
}

TEST_F(NameEntryTest, OtherKeysTypeNothing) {
    for (int vk : {186, int{VkLeft}, int{VkUp}, 192, 219, int{VkF2}, int{VkTab}, int{VkEnter}, 1, 106}) {
        typeKey(vk);
    }
    EXPECT_STREQ(nameBuffer, "");
    EXPECT_EQ(nameLength, 0);
    EXPECT_EQ(currentAppMode(), AppMode::NameEntry);  // Enter with an empty name does nothing
}

TEST_F(NameEntryTest, BackspaceAndTheNinthCharacter) {
    typeKey(VkBackspace);
    EXPECT_EQ(nameLength, 0);
    for (int vk : {65, 66, 67, 68, 69, 70, 71, 72, 73}) {
        typeKey(vk);
    }
    EXPECT_STREQ(nameBuffer, "abcdefgh");
    EXPECT_EQ(nameLength, 8);
    EXPECT_EQ(nameBuffer[8], 0);
    typeKey(VkBackspace);
    EXPECT_STREQ(nameBuffer, "abcdefg");
    typeKey('X');
    EXPECT_STREQ(nameBuffer, "abcdefgx");
}

TEST_F(NameEntryTest, F5TypesNothingAndRestoresTheDefaultKeys) {
    scrambleBindings();
    typeKey(VkF5);
    EXPECT_STREQ(nameBuffer, "");
    EXPECT_EQ(game.lastFunctionKey, 0);
    expectDefaultBindings();
}

TEST_F(NameEntryTest, EnterPlacesTheNameSavesAndReturnsAfterEnterIsReleased) {
    typeKey('I');
    typeKey('V');
    const char latched = game.lastFunctionKey;
    fake_keyboard::reset();
    fake_keyboard::holdForQueries(VkEnter, 4);
    nameEntryIdle();
    EXPECT_EQ(fake_keyboard::queriesOf(VkEnter), 5);  // polled until it read as released
    EXPECT_EQ(currentAppMode(), AppMode::Menu);
    EXPECT_EQ(nameLength, 0);
    EXPECT_EQ(game.lastFunctionKey, latched);
    expectEntry(0, "iv", 500);
    expectEntry(1, "Pelvor", 0);
    expectEntry(2, "Morvasta", 0);
    const std::string file = readFile();
    EXPECT_NE(file.find("\r\nlud1=iv\r\nlut1=500\r\nlud2=Pelvor\r\n"), std::string::npos);
    // The menu is where the main menu left it.
    EXPECT_EQ(menu.screen, MainMenu);
    EXPECT_EQ(menu.selectedRow, 1);
}
