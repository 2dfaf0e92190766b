// The host's picture of a panel, drawn from its panel file: each keyword gives a kind of control,
// and anything else is refused with the line it is on.
#include <gtest/gtest.h>

#include <string>

#include "panel_model.h"
#include "written_file.h"

using vorn_host::panel_model;

TEST(PanelModel, EachKeywordOfThePanelFileGivesItsKindOfControl) {
    const std::string file = writtenFile("kinds.vorn_ui",
                                         "# one of each\ncontrol Level value=3\nlist Sources items=8\n"
                                         "button Take caption=Take\nlabel Status text=\n");
    panel_model panels;
    std::string error;
    ASSERT_TRUE(panels.show("1", file, error)) << error;
    const auto view = panels.view();
    ASSERT_EQ(view.size(), 1u);
    std::string kinds;
    for (const auto& control : view[0].controls) kinds += control.id + ":" + control.kind + " ";
    EXPECT_EQ(kinds, "Level:control Sources:list Take:button Status:label ");
    EXPECT_EQ(view[0].controls[1].items, 8);
}

TEST(PanelModel, AnUnknownKeywordIsRefusedWithItsLine) {
    const std::string file = writtenFile("unknown.vorn_ui", "label Status\nslider Level\n");
    panel_model panels;
    std::string error;
    EXPECT_FALSE(panels.show("1", file, error));
    EXPECT_EQ(error, file + ":2: expected: control|list|button|label ID [name=value ...]");
}
