// SPDX-License-Identifier: GPL-3.0-or-later
// Option menus: the popup drawn inside the window and its selection rules.

#include "HeadlessFixture.h"

#include "toolkit/COptionMenu.h"

namespace ovinta {

namespace {

struct MenuFixture {
    MenuFixture() : ed(300, 200)
    {
        CBitmap* bg = makeTestFilm(300, 200, 1);
        ed.getFrame()->setBackground(bg);
        bg->forget();
        menu = new COptionMenu(CRect(20, 20, 100, 34), &ed, 46, nullptr, kPopupStyle | kCheckStyle);
        for (const char* name : {"Small Room", "Concert Hall", "Cathedral"})
            menu->addEntry(name);
        ed.getFrame()->addView(menu);
        ed.idle();
    }
    COptionMenuPopup* popup() { return dynamic_cast<COptionMenuPopup*>(ed.getFrame()->getModalView()); }
    CPoint entryCentre(int i)
    {
        const CRect r = popup()->entryRect(i);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    RecordingEditor ed;
    COptionMenu* menu;
};

} // namespace

TEST(COptionMenu, ClickOpensThePopupAndASecondClickSelects)
{
    MenuFixture f;
    EXPECT_EQ(f.menu->getCurrent(), 0);
    f.ed.window().click(CPoint(40, 27));
    f.ed.runInput();
    COptionMenuPopup* popup = f.popup();
    ASSERT_NE(popup, nullptr);
    // The list opens below the menu, one row per entry, and is drawn in the window.
    const CRect area = popup->getViewSize();
    EXPECT_EQ(area.top, 34);
    EXPECT_GE(area.height(), 3 * 12);
    EXPECT_FALSE(sameColour(f.ed.window().getPixel(area.left + 2, area.top + 2), (CColor{0, 20, 30, 255})));
    EXPECT_EQ(popup->entryAt(f.entryCentre(2)), 2);

    f.ed.window().click(f.entryCentre(2));
    f.ed.runInput();
    EXPECT_EQ(f.menu->getCurrent(), 2);
    EXPECT_EQ(f.ed.getFrame()->getModalView(), nullptr);
    const std::vector<std::string> expected{"begin 46", "value 46 2.000000", "end 46"};
    EXPECT_EQ(f.ed.log, expected);
    // The area under the closed list shows the background again.
    EXPECT_TRUE(sameColour(f.ed.window().getPixel(area.left + 2, area.bottom - 2), (CColor{0, 20, 30, 255})));
}

TEST(COptionMenu, PressDragReleaseSelectsInOneGesture)
{
    MenuFixture f;
    f.ed.window().pressAt(CPoint(40, 27), kLButton);
    f.ed.window().holdAt(CPoint(40, 40), kLButton);
    f.ed.window().holdAt(CPoint(40, 52), kLButton);
    // Where entry 1 lies: the list starts at the menu's bottom (34).
    f.ed.window().releaseAt(CPoint(40, 34 + 1 + 17 + 8));
    f.ed.runInput();
    EXPECT_EQ(f.menu->getCurrent(), 1);
    EXPECT_EQ(f.ed.getFrame()->getModalView(), nullptr);
    EXPECT_EQ(f.ed.values.size(), 1u);
}

TEST(COptionMenu, ClickOutsideOrEscapeClosesWithoutChange)
{
    MenuFixture f;
    f.ed.window().click(CPoint(40, 27));
    f.ed.runInput();
    ASSERT_NE(f.popup(), nullptr);
    f.ed.window().click(CPoint(250, 180));
    f.ed.runInput();
    EXPECT_EQ(f.ed.getFrame()->getModalView(), nullptr);
    f.ed.window().click(CPoint(40, 27));
    f.ed.runInput();
    ASSERT_NE(f.popup(), nullptr);
    f.ed.window().typeKey(CKeyCode{0, kKeyEscape, 0});
    f.ed.runInput();
    EXPECT_EQ(f.ed.getFrame()->getModalView(), nullptr);
    EXPECT_EQ(f.menu->getCurrent(), 0);
    EXPECT_TRUE(f.ed.values.empty());
}

TEST(COptionMenu, LongListsWrapIntoColumnsInsideTheWindow)
{
    RecordingEditor ed(704, 560);
    auto* menu = new COptionMenu(CRect(164, 536, 364, 552), &ed, 46, nullptr, kCheckStyle);
    char name[32];
    for (int i = 0; i < 45; ++i) {
        std::snprintf(name, sizeof name, "Program %d", i);
        menu->addEntry(name);
    }
    menu->setCurrent(44);
    ed.getFrame()->addView(menu);
    ed.window().click(CPoint(200, 540));
    ed.runInput();
    auto* popup = dynamic_cast<COptionMenuPopup*>(ed.getFrame()->getModalView());
    ASSERT_NE(popup, nullptr);
    const CRect area = popup->getViewSize();
    EXPECT_GE(area.top, 0);
    EXPECT_LE(area.bottom, 560);
    EXPECT_LE(area.right, 704);
    // Every entry is reachable at its own place.
    for (int i = 0; i < 45; ++i) {
        const CRect r = popup->entryRect(i);
        EXPECT_EQ(popup->entryAt(CPoint(r.left + 5, r.top + 3)), i) << i;
        EXPECT_TRUE(area.pointInside(CPoint(r.left + 5, r.top + 3))) << i;
    }
}

TEST(COptionMenu, EntriesAndCurrentIndex)
{
    RecordingEditor ed;
    COptionMenu menu(CRect(0, 0, 20, 10), &ed, 37);
    EXPECT_EQ(menu.getCurrent(), -1); // no entries yet
    menu.addEntry("L");
    menu.addEntry("R");
    EXPECT_EQ(menu.getNbEntries(), 2);
    EXPECT_STREQ(menu.getEntry(1), "R");
    EXPECT_EQ(menu.getEntry(2), nullptr);
    menu.setCurrent(1);
    EXPECT_EQ(menu.getCurrent(), 1);
    menu.setCurrent(5);
    EXPECT_EQ(menu.getCurrent(), -1);
    menu.removeAllEntry();
    EXPECT_EQ(menu.getNbEntries(), 0);
    EXPECT_EQ(menu.getEntry(0), nullptr);
}

} // namespace ovinta
