#include "control/ClickEditorLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {
using F = TClickEditorFields;

bool Inside(TRect inner, TSize outer) {
    return inner.left >= 0 && inner.top >= 0 && inner.left + inner.width <= outer.width &&
           inner.top + inner.height <= outer.height;
}
} // namespace

// Both editors build from the table, read a radio group as -1 until one of its radios is checked, and find each
// field's control by it: every field needs exactly one control, inside its parent, and a group its radios in order;
// the panel with the desktop's keys as well as the one without.
TEST(ClickEditorLayoutTest, EveryFieldHasOneControlInsideItsParentAndRadioGroupsComeInOrder) {
    for (const bool keysBoundInDesktop : {false, true})
        for (const TEditorControl& control : TClickEditorLayout::Controls(keysBoundInDesktop)) {
            const TSize parent = control.parent == TEditorId::Panel
                                     ? TClickEditorLayout::PanelSize(keysBoundInDesktop)
                                     : TSize{TClickEditorLayout::Control(control.parent).bounds.width,
                                             TClickEditorLayout::Control(control.parent).bounds.height};
            EXPECT_TRUE(Inside(control.bounds, parent))
                << control.caption << " at " << control.bounds.left << "," << control.bounds.top;
        }
    const std::vector<TEditorControl>& controls = TClickEditorLayout::Controls(true);
    std::set<TEditorId> ids;
    for (const TEditorControl& control : controls)
        if (control.id != TEditorId::None) {
            EXPECT_TRUE(ids.insert(control.id).second) << "one id, one control";
        }
    for (const TNumericField& field : TClickEditorModel::NumericFields())
        EXPECT_EQ(std::count_if(controls.begin(), controls.end(), [&](auto& c) { return c.text == field.text; }), 1)
            << field.name;
    for (int F::*group :
         {&F::pointType, &F::ScreenType, &F::InteverType, &F::startType, &F::stopType, &F::finishType}) {
        std::vector<int> items, inOrder;
        for (const TEditorControl& control : controls)
            if (control.kind == TEditorKind::Radio && control.choice == group)
                items.push_back(control.item);
        for (std::size_t item = 0; item < TClickEditorModel::Choices(group).size(); ++item)
            inOrder.push_back(int(item));
        EXPECT_EQ(items, inOrder);
    }
    EXPECT_TRUE(TClickEditorLayout::Within(TClickEditorLayout::Control(TEditorId::ImageBMP), TEditorId::gbBMP));
    EXPECT_FALSE(TClickEditorLayout::Within(TClickEditorLayout::Control(TEditorId::rbBMP), TEditorId::gbBMP));
    EXPECT_EQ(TClickEditorLayout::PanelBounds(TClickEditorLayout::Control(TEditorId::edColorL)),
              (TRect{8 + 3 + 60 + 18, 4 + 427 + 48 + 4, 40, 20}));
}
