#include "common/money.h"
#include "frame_fixture.h"
#include "kkt/frame/document_frame.h"
#include "kkt/operations/shift_operations.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <sys/resource.h>

namespace veltrano::kkt::testing {
namespace {

// Files of the process may not grow beyond a size while this lives: a write past it fails (the storage file
// is several times larger than a document or a log line).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

using FailedSave = KktInstanceTest;

TEST_F(FailedSave, FailsTheOperationNamingTheFileAndTheReason) {
    const std::string storage = StorageBytes();
    std::string message;
    {
        const FileSizeLimit limit(8192);
        pugi::xml_document output = EmptyOutput();
        try {
            OpenShift(Instance(), CashierInput("Петров П.П.", ""), output);
        } catch (const std::runtime_error& error) {
            message = error.what();
        }
    }
    EXPECT_EQ(
        message.rfind("Не удалось сохранить файл ФН " + Instance().Storage().FileName().string() + ": ", 0),
        0u)
        << message;
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(StorageBytes(), storage);
    for (const auto& entry : std::filesystem::directory_iterator(root))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST_F(FailedSave, LeavesTheNextOperationTheOldValues) {
    {
        const FileSizeLimit limit(8192);
        EXPECT_THROW(CashInOutcome(Instance(), Money::FromWhole(50)), std::runtime_error);
    }
    CashInOutcome(Instance(), Money::FromWhole(20));
    EXPECT_EQ(StoredValue("M241"), "20");
    EXPECT_EQ(StoredValue("TotalDocCounter"), "1");
}

} // namespace
} // namespace veltrano::kkt::testing
