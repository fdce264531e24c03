#include "ui/FMConfig.h"
#include "TempFolder.h"
#include "model/Config.h"

#include <QCheckBox>
#include <QListWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {
class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() : config(std::make_unique<TConfig>(folder.path().string())) {}

    std::vector<bool> visibility() const {
        std::vector<bool> result;
        for (int i = 0; i < config->GetCols().Count(); ++i)
            result.push_back(config->GetCols().Item(i).GetVisible());
        return result;
    }

    TempFolder folder;
    std::unique_ptr<TConfig> config;
};
} // namespace

TEST_F(OptionsTest, ShowsTheColumnsInDocumentOrderTickedByVisibility) {
    TFMConfig dialog(*config);
    dialog.FormShow();
    ASSERT_EQ(dialog.clbList->count(), 11);
    EXPECT_EQ(dialog.clbList->item(0)->text(), "Name");
    EXPECT_EQ(dialog.clbList->item(10)->text(), "Action Stats");
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(dialog.clbList->item(i)->checkState() == Qt::Checked,
                  dialog.clbList->item(i)->text() != "After Click Action");
    EXPECT_FALSE(dialog.cbAuto->isChecked());
}

TEST_F(OptionsTest, OkWritesTheChoicesIntoTheDocument) {
    TFMConfig dialog(*config);
    dialog.FormShow();
    for (int i = 0; i < dialog.clbList->count(); ++i)
        dialog.clbList->item(i)->setCheckState(Qt::Unchecked);
    dialog.clbList->item(9)->setCheckState(Qt::Checked);
    dialog.cbAuto->setChecked(true);
    dialog.btnOKClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    std::vector<bool> expected(11, false);
    expected[9] = true;
    EXPECT_EQ(visibility(), expected);
    EXPECT_TRUE(config->GetFrame().Getautorun());
}

TEST_F(OptionsTest, CancelAndTheCloseBoxWriteNothing) {
    const std::vector<bool> before = visibility();
    for (bool byCloseBox : {false, true}) {
        TFMConfig dialog(*config);
        dialog.show();
        dialog.clbList->item(0)->setCheckState(Qt::Unchecked);
        dialog.cbAuto->setChecked(true);
        byCloseBox ? (void)dialog.close() : dialog.btnCancelClick();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(visibility(), before);
    EXPECT_FALSE(config->GetFrame().Getautorun());
}
