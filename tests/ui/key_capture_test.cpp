#include "ui_fixture.h"

#include <map>

TEST(KeyName, NamesEveryListedCodeAndNumbersTheRest) {
    std::map<int, std::string> named = {
        {0, " "},           {1, "Mouse Left"},    {2, "Mouse Right"},   {3, "Ctrl + Break"},  {5, "Mouse X1"},
        {6, "Mouse X2"},    {8, "Backspace"},     {9, "Tab"},           {12, "Clear"},        {13, "Enter"},
        {19, "Pause"},      {20, "Caps Lock"},    {32, "Space"},        {33, "Page Up"},      {34, "Page Down"},
        {35, "End"},        {36, "Home"},         {37, "Left"},         {38, "Up"},           {39, "Right"},
        {40, "Down"},       {41, "Select"},       {42, "Print"},        {43, "Execute"},      {44, "Print Screen"},
        {45, "Insert"},     {46, "Delete"},       {47, "Help"},         {91, "Left Windows"}, {92, "Right Windows"},
        {93, "Context Menu"}, {95, "Sleep"},      {106, "*"},           {107, "+"},           {108, "Separator"},
        {109, "-"},         {110, "."},           {111, "/"},           {144, "Num Lock"},    {145, "Scroll Lock"},
        {160, "Left Shift"}, {161, "Right Shift"}, {162, "Left Control"}, {163, "Right Control"},
        {164, "Left Alt"},  {165, "Right Alt"},   {186, ";"},           {187, "+"},           {188, ","},
        {189, "-"},         {190, "."},           {191, "/"},           {192, "~"},           {219, "["},
        {220, "\\"},        {221, "]"},           {222, "'"},
    };
    for (int d = 0; d <= 9; ++d) {
        named[48 + d] = std::string(1, static_cast<char>('0' + d));
        named[96 + d] = "Numeric Pad " + std::to_string(d);
    }
    for (int l = 0; l < 26; ++l) {
        named[65 + l] = std::string(1, static_cast<char>('A' + l));
    }
    for (int code = -3; code <= 300; ++code) {
        const auto found = named.find(code);
        const std::string expected = found != named.end() ? found->second : std::to_string(code);
        EXPECT_EQ(keyName(code), expected) << code;
    }
    EXPECT_STREQ(keyName(89), "Y");
    EXPECT_STREQ(keyName(4), "4");
    EXPECT_STREQ(keyName(7), "7");
}

TEST_F(MenuTest, CaptureScansFromEightUpAndSkipsWhatCannotBeBound) {
    std::int16_t binding = 55;
    EXPECT_EQ(captureKey(binding, false), 0);
    EXPECT_EQ(binding, 0);  // nothing down: 0 without waiting
    const int skipped[] = {10, 11, 14, 15, 16, 17, 18, 21, 27, 31, 58, 63, 94, 112, 115, 117, 130, 143,
                           151, 158, 184, 185, 193, 200, 218, 224, 232, 252};
    for (int code : skipped) {
        EXPECT_TRUE(captureSkips(code)) << code;
    }
    for (int code = 0; code <= 255; ++code) {
        const long expected = code >= 8 && code <= 254 && !captureSkips(code) ? 1 : 0;
        EXPECT_EQ(fake_keyboard::queriesOf(code), expected) << code;
    }
    EXPECT_FALSE(captureSkips(VkF5));
    EXPECT_FALSE(captureSkips(160));
    EXPECT_FALSE(captureSkips(13));
}

TEST_F(MenuTest, CaptureTakesTheLowestCodeInScanOrder) {
    std::int16_t binding = 0;
    fake_keyboard::hold(65);
    fake_keyboard::hold(VkTab);
    EXPECT_EQ(captureKey(binding, false), VkTab);
    EXPECT_EQ(binding, VkTab);

    fake_keyboard::reset();
    fake_keyboard::hold(160);
    fake_keyboard::hold(90);
    fake_keyboard::hold(VkShift);  // the generic Shift is never taken
    captureKey(binding, false);
    EXPECT_EQ(binding, 90);

    fake_keyboard::reset();
    fake_keyboard::hold(VkEscape);
    fake_keyboard::hold(112);  // F1
    fake_keyboard::hold(1);    // a mouse button is seen only from the second pass on
    captureKey(binding, false);
    EXPECT_EQ(binding, 0);
    captureKey(binding, true);
    EXPECT_EQ(binding, 1);
    EXPECT_EQ(fake_keyboard::queriesOf(0), 1);
    EXPECT_EQ(fake_keyboard::queriesOf(8), 2);
}

TEST_F(MenuTest, CaptureOfF5RestoresAllFiveDefaults) {
    scrambleBindings();
    std::int16_t binding = 55;
    fake_keyboard::hold(VkF5);
    EXPECT_EQ(captureKey(binding, false), VkF5);
    EXPECT_EQ(binding, 55);
    expectDefaultBindings();

    fake_keyboard::hold(65);  // a lower code held with F5 wins
    captureKey(binding, false);
    EXPECT_EQ(binding, 65);
}

TEST_F(MenuTest, BindingAKeyOnTheControlsScreen) {
    openMenuScreen(ControlsScreen, 0, 6);
    game.lastFunctionKey = 'x';
    fake_keyboard::reset();
    fake_keyboard::holdForQueries(VkEnter, 3);
    menuIdle();
    // The first step blanks the key and returns at once, latch untouched.
    EXPECT_EQ(keys.forwardKey, 0);
    EXPECT_STREQ(keyName(keys.forwardKey), " ");
    EXPECT_EQ(menu.capturePending[0], 1);
    EXPECT_EQ(game.lastFunctionKey, 'x');

    // Second step: Enter still down at first, then Esc (cannot be bound), then A pressed and held a while.
    fake_keyboard::reset();
    fake_keyboard::holdForQueries(VkEnter, 5);
    fake_keyboard::holdBetween(VkEscape, 3000, 100000);
    fake_keyboard::holdBetween('A', 5000, 9000);
    menuIdle();
    EXPECT_EQ(keys.forwardKey, 'A');
    EXPECT_GE(fake_keyboard::queries(), 9000);  // returned only after A was released
    EXPECT_EQ(menu.capturePending[0], 0);
    EXPECT_EQ(game.lastFunctionKey, 'e');
    EXPECT_EQ(menu.selectedRow, 0);  // Esc did nothing while the capture waited

    press({});
    EXPECT_EQ(game.lastFunctionKey, 0);
    EXPECT_EQ(keys.rightKey, 102);
}

TEST_F(MenuTest, F5DuringACaptureResetsEveryBinding) {
    openMenuScreen(ControlsScreen, 3, 6);
    keys.rightKey = 70;
    fake_keyboard::reset();
    fake_keyboard::holdForQueries(VkEnter, 3);
    menuIdle();
    EXPECT_EQ(keys.shootKey, 0);
    fake_keyboard::reset();
    fake_keyboard::holdBetween(VkF5, 1000, 2000);
    menuIdle();
    EXPECT_EQ(keys.shootKey, 9);
    EXPECT_EQ(keys.rightKey, 102);
    EXPECT_EQ(menu.capturePending[3], 0);
}
