#include "output/no_window_preview.h"
#include "output_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace veltrano::output {
namespace {

using test::PreviewRecorder;

std::vector<std::string> Texts(const ReceiptEntries& list) {
    std::vector<std::string> texts;
    for (const ReceiptEntry& entry : list)
        texts.push_back(entry.Text);
    return texts;
}

// The recorder is made before the device, so the device's end is recorded too.
class CreateReceipt : public ::testing::Test {
protected:
    CreateReceipt() { device.LineLen = 10; }

    PreviewRecorder preview;
    test::TempFolder folder;
    OutputDevice device;
};

TEST_F(CreateReceipt, TheLogoTagInAnyCaseBecomesALogoEntryAfterItsLine) {
    device.ShowReceiptForm = 2;
    device.PrintText("Товар [EAC]", "");
    device.PrintText("простая", "");
    device.PrintText("x[eac]y[Eac]", "");
    device.CreateReceipt("Чек", "12");

    ASSERT_EQ(preview->documents.size(), 1u);
    const ReceiptEntries& copy = preview->documents[0].Copy;
    const std::vector<std::string> expected{"Товар ", "EAC", "простая   ", "xy", "EAC"};
    EXPECT_EQ(Texts(copy), expected);
    const int kinds[] = {KindTextLine, KindEACLogo, KindTextLine, KindTextLine, KindEACLogo};
    for (std::size_t i = 0; i < copy.size(); ++i)
        EXPECT_EQ(copy[i].NumType(), kinds[i]) << i;
    EXPECT_EQ(copy[0].Object, device.ReceiptStrList()[0].Object);
    EXPECT_NE(copy[1].Object, copy[4].Object);
}

TEST_F(CreateReceipt, TheBufferKeepsItsTagsForThePrintPath) {
    device.PrintText("[b]Жирный[/b] [EAC]", "");
    const ReceiptEntries before = device.ReceiptStrList();
    device.CreateReceipt("Текстовый документ", "3");
    ASSERT_EQ(device.ReceiptStrList().size(), before.size());
    EXPECT_EQ(device.ReceiptStrList()[0].Text, before[0].Text);
    ASSERT_EQ(preview->documents.size(), 1u);
    EXPECT_EQ(Texts(preview->documents[0].Copy), (std::vector<std::string>{"Жирный ", "EAC"}));
}

TEST_F(CreateReceipt, TagsAreStrippedFromEveryKindOfEntry) {
    device.PrintText("до[ОТРЕЗКА]после", "");
    device.PrintText("[CUT][cut][Отрезка]", "");
    device.PrintQRcode("[u]qr[/u]");
    auto descriptor = MakePrintObject(KindGraphicText, "[gt2]Т[/gt2]");
    device.PrintGraphicText(descriptor);
    device.CreateReceipt("Текстовый документ", "1");
    ASSERT_EQ(preview->documents.size(), 1u);
    EXPECT_EQ(Texts(preview->documents[0].Copy), (std::vector<std::string>{"допосле", "", "qr", "Т"}));
}

TEST_F(CreateReceipt, StripTagsLeavesTheLogoTag) {
    ReceiptEntries list{{"[i]a[/i][EAC]", TextLineObject()}, {"[invert][font1]b", TextLineObject()}};
    OutputDevice::StripTags(list);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a[EAC]", "b"}));
}

TEST_F(CreateReceipt, ADescriptorOutlivesTheBufferWhileACopyHoldsIt) {
    device.ShowReceiptForm = 2;
    std::weak_ptr<const PrintObject> watched;
    {
        auto descriptor = MakePrintObject(KindGraphicText, "Graphic text2");
        watched = descriptor;
        device.PrintGraphicText(std::move(descriptor));
    }
    device.CreateReceipt("Текстовый документ", "1");
    device.ClearBuffer();

    ASSERT_FALSE(watched.expired());
    ASSERT_EQ(preview->documents.size(), 1u);
    EXPECT_EQ(preview->documents[0].Copy[0].Object->Text, "Graphic text2");
    preview->documents.clear();
    EXPECT_TRUE(watched.expired());
}

struct ModeCase {
    int mode;
    bool shown;
};

TEST_F(CreateReceipt, ShowsTheDocumentOnlyInTheShowingModes) {
    const ModeCase cases[] = {{2, true}, {3, true}, {4, true}, {5, true}, {6, false}};
    for (const auto& c : cases) {
        preview->documents.clear();
        device.ShowReceiptForm = c.mode;
        device.PrintText("строка", "");
        device.CreateReceipt("Открытие смены", "5");
        ASSERT_EQ(preview->documents.size(), c.shown ? 1u : 0u) << c.mode;
        if (c.shown) {
            EXPECT_EQ(preview->documents[0].Caption, "Открытие смены");
            EXPECT_EQ(preview->documents[0].Number, "5");
        }
    }
}

TEST_F(CreateReceipt, EnableCreatesAndPlacesTheWindowForTheLineLength) {
    device.LineLen = 42;
    device.ShowReceiptForm = 3;
    device.Enable();
    EXPECT_EQ(preview->journal, (std::vector<std::string>{"Ensure 42 3", "Place"}));
    EXPECT_EQ(preview->placement.Opacity, 235);
    EXPECT_EQ(preview->placement.SnapDistance, 30);
    EXPECT_EQ(preview->placement.ClientWidth, 8 * 42 + 30);
    EXPECT_EQ(preview->placement.MinWindowWidth, 8 * 42 + 55);
    EXPECT_EQ(preview->placement.ScreenHeightMargin, 200);
}

TEST_F(CreateReceipt, ModesBelowTwoNeverCreateTheWindow) {
    for (int mode : {1, 0}) {
        device.ShowReceiptForm = mode;
        device.Enable();
        device.PrintText("строка", "");
        device.CreateReceipt("Закрытие смены", "6");
        EXPECT_TRUE(preview->journal.empty()) << mode;
        EXPECT_FALSE(preview->exists) << mode;
    }
}

TEST_F(CreateReceipt, ADocumentInModeOneDestroysAnExistingWindow) {
    device.ShowReceiptForm = 2;
    device.Enable();
    device.ShowReceiptForm = 1;
    device.CreateReceipt("Закрытие смены", "6");
    EXPECT_FALSE(preview->exists);
    EXPECT_EQ(preview->journal.back(), "Destroy");
    EXPECT_TRUE(preview->documents.empty());
}

TEST_F(CreateReceipt, AModeAboveFiveLeavesAnExistingWindowAlone) {
    device.ShowReceiptForm = 2;
    device.Enable();
    const auto journal = preview->journal;
    device.ShowReceiptForm = 7;
    device.CreateReceipt("Закрытие смены", "6");
    EXPECT_TRUE(preview->exists);
    EXPECT_EQ(preview->journal, journal);
}

TEST_F(CreateReceipt, AMissingWindowIsCreatedBeforeTheDocumentIsShown) {
    device.ShowReceiptForm = 4;
    device.CreateReceipt("Чек коррекции", "9");
    EXPECT_EQ(preview->journal,
              (std::vector<std::string>{"Ensure 10 4", "Place", "AddDocument Чек коррекции 9"}));
}

TEST_F(CreateReceipt, AnotherDevicesEndDestroysTheSharedWindow) {
    device.ShowReceiptForm = 2;
    device.Enable();
    { OutputDevice other; }
    EXPECT_FALSE(preview->exists);
    device.CreateReceipt("Чек", "2");
    EXPECT_TRUE(preview->exists);
    EXPECT_EQ(preview->documents.size(), 1u);
}

TEST(NoWindowPreview, KeepsTheWindowLifeCycleAndDropsDocuments) {
    auto preview = std::make_shared<NoWindowPreview>();
    EXPECT_FALSE(preview->Exists());
    preview->Ensure(42, 2);
    EXPECT_TRUE(preview->Exists());
    EXPECT_GT(preview->MonospacedCharWidth(), 0);
    preview->AddDocument("Чек", "1", {{"строка", TextLineObject()}});
    preview->Destroy();
    EXPECT_FALSE(preview->Exists());
}

} // namespace
} // namespace veltrano::output
