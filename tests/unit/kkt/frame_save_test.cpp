#include "common/money.h"
#include "frame_fixture.h"
#include "kkt/frame/document_frame.h"
#include "kkt/operations/shift_operations.h"
#include "log/log.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
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

std::string ReadAll(const std::filesystem::path& folder) {
    std::string all;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        all.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return all;
}

class FailedSave : public KktInstanceTest {
protected:
    void SetUp() override {
        KktInstanceTest::SetUp();
        log::SetLogFolder((root / "logs").string());
        log::SetLogMode(log::ModeAll);
    }
    void TearDown() override {
        log::SetLogMode(log::ModeOff);
        log::SetLogFolder({});
        KktInstanceTest::TearDown();
    }
};

TEST_F(FailedSave, IsLoggedAndTheDocumentStands) {
    const std::string storage = StorageBytes();
    {
        const FileSizeLimit limit(8192);
        pugi::xml_document output = EmptyOutput();
        EXPECT_NO_THROW(OpenShift(Instance(), CashierInput("Петров П.П.", ""), output));
        EXPECT_NE(Compact(output), "");
    }
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_FALSE(NewOutputLines().empty());
    EXPECT_NE(ReadAll(root / "logs").find("\tERROR\tTDriver: \t"), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(root))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST_F(FailedSave, LeavesTheNextOperationTheOldValues) {
    {
        const FileSizeLimit limit(8192);
        CashInOutcome(Instance(), Money::FromWhole(50));
    }
    CashInOutcome(Instance(), Money::FromWhole(20));
    EXPECT_EQ(StoredValue("M241"), "20");
    EXPECT_EQ(StoredValue("TotalDocCounter"), "1");
}

} // namespace
} // namespace veltrano::kkt::testing
