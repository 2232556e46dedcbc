#include "output/write_file_error.h"
#include "output_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace veltrano::output {
namespace {

using test::ReadWholeFile;

class WriteFile : public ::testing::Test {
protected:
    WriteFile() {
        device.LineLen = 10;
        device.ShowReceiptForm = 2;
    }

    // The message CreateReceipt fails with, or nothing when it succeeds.
    std::string CreateReceiptError() {
        try {
            device.CreateReceipt("Чек", "1");
        } catch (const EWriteFile& e) {
            return e.what();
        }
        return {};
    }

    test::PreviewRecorder preview;
    test::TempFolder folder;
    OutputDevice device;
};

TEST_F(WriteFile, AnEmptyOrBlankPathWritesNothing) {
    for (const char* path : {"", "   "}) {
        device.PrintOutFilePath = path;
        device.PrintText("строка", "");
        EXPECT_EQ(CreateReceiptError(), "");
    }
    EXPECT_EQ(preview->documents.size(), 2u);
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        EXPECT_EQ(entry.path().filename(), "DataFN.xml");
}

TEST_F(WriteFile, DocumentsFollowEachOtherWithCrLfLineEndsInUtf8) {
    device.Init((folder.Path() / "receipts.txt").string(), 10);
    device.PrintText("[b]ИТОГО[/b]", "");
    device.PrintText("ИТОГО", "=1");
    device.CreateReceipt("Чек", "1");
    device.ClearBuffer();
    device.PrintTextCenter("Конец");
    device.CreateReceipt("Чек", "2");

    EXPECT_EQ(ReadWholeFile(folder.Path() / "receipts.txt"), "ИТОГО\r\nИТОГО   =1\r\n  Конец   \r\n");
}

TEST_F(WriteFile, OnlyTextLinesAreWritten) {
    device.Init((folder.Path() / "receipts.txt").string(), 10);
    device.PrintText("до", "");
    device.PrintBarcode("46120441", KindEAN8);
    device.PrintQRcode("qr data");
    device.PrintGraphicText(MakePrintObject(KindGraphicText, "gt"));
    device.PrintText("логотип[EAC]", "");
    device.CreateReceipt("Чек", "1");

    EXPECT_EQ(ReadWholeFile(folder.Path() / "receipts.txt"), "до        \r\nлоготип\r\n");
}

TEST_F(WriteFile, AMissingFolderIsCreatedOneLevelDeep) {
    const auto file = folder.Path() / "новая папка" / "receipts.txt";
    device.Init(file.string(), 10);
    device.PrintText("a", "b");
    EXPECT_EQ(CreateReceiptError(), "");
    EXPECT_EQ(ReadWholeFile(file), "a        b\r\n");
}

TEST_F(WriteFile, AnUnwritablePathFailsWithTheFileErrorAndShowsNothing) {
    std::ofstream(folder.Path() / "plain file") << "x";
    const std::filesystem::path paths[] = {
        folder.Path() / "plain file" / "receipts.txt",
        folder.Path() / "missing" / "deeper" / "receipts.txt",
        folder.Path(),
    };
    for (const auto& path : paths) {
        device.Init(path.string(), 10);
        device.PrintText("строка", "");
        EXPECT_EQ(CreateReceiptError(), "Ошибка записи файла: Некорректный путь файла вывода чека") << path;
    }
    EXPECT_TRUE(preview->documents.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing"));
}

TEST_F(WriteFile, WriteFileItselfReportsTheInnerMessage) {
    std::ofstream(folder.Path() / "plain file") << "x";
    device.PrintOutFilePath = (folder.Path() / "plain file" / "receipts.txt").string();
    try {
        device.WriteFile({{"строка", TextLineObject()}});
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Некорректный путь файла вывода чека");
    }
}

} // namespace
} // namespace veltrano::output
