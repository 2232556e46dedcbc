// One storage file, several writers: other processes (two 1C sessions of one user on one machine), a process
// killed in the middle of a document, and a lock that another holder keeps.
#include "host_kkt_fixture.h"
#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrano::hosttest {
namespace {

using namespace std::chrono_literals;

class StorageProcessesTest : public KktHostTest {
protected:
    void SetUp() override {
        KktHostTest::SetUp();
        settings_ = Settings();
    }

    // Runs the body in a child process that shares this process's data folder and ends with the body's
    // answer as its exit code. The child drives its own copy of the component object.
    static pid_t Spawn(const std::function<int()>& body) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            int code = 100;
            try {
                code = body();
            } catch (...) {
            }
            ::_exit(code);
        }
        return pid;
    }

    // The child's exit code, or 128 + the signal that ended it.
    static int Wait(pid_t pid) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0)
            if (errno != EINTR)
                return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Connects in a child; returns the device or empty.
    std::string ChildConnect() {
        const CallResult connect =
            driver_->Call("ПодключитьОборудование", {Value::Empty(), Value::Empty(), Value::Text(settings_)});
        return connect.Succeeded() ? connect.Out(0) : std::string();
    }

    // How many cash-ins of 1.00 failed, out of the given number.
    int CashIns(int count) {
        const std::string id = ChildConnect();
        if (id.empty())
            return 99;
        int failed = 0;
        for (int i = 0; i < count; ++i)
            failed += CashInOut(id, 1.0).Succeeded() ? 0 : 1;
        return failed > 98 ? 98 : failed;
    }

    std::string settings_;
};

TEST_F(StorageProcessesTest, TwoProcessesOnOneStorageCountEveryDocument) {
    const std::string id = Connect(settings_);
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    const long documents = std::stol(Field("TotalDocCounter"));

    constexpr int PerProcess = 200;
    std::vector<pid_t> children;
    for (int i = 0; i < 2; ++i)
        children.push_back(Spawn([this] { return CashIns(PerProcess); }));
    for (const pid_t child : children)
        EXPECT_EQ(Wait(child), 0) << "failed cash-ins in one process";

    EXPECT_EQ(std::stol(Field("TotalDocCounter")), documents + 2 * PerProcess);
    EXPECT_EQ(Field("M242"), std::to_string(2 * PerProcess));
    EXPECT_EQ(Field("O153"), std::to_string(2 * PerProcess));
    EXPECT_EQ(Field("M241"), std::to_string(2 * PerProcess));
    const std::string output = OutputBytes();
    std::size_t cashIns = 0;
    for (std::size_t at = output.find("ВНЕСЕНИЕ"); at != std::string::npos;
         at = output.find("ВНЕСЕНИЕ", at + 1))
        ++cashIns;
    EXPECT_EQ(cashIns, 2u * PerProcess);
}

TEST_F(StorageProcessesTest, OperationsWaitForTheLockAndFailAfterTenSecondsChangingNothing) {
    const std::string id = Connect(settings_);
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    platform::FileLock other(StorageFile().string() + ".lock");

    // A holder that lets go in time: the operation and a reading one wait for it and go on.
    ASSERT_TRUE(other.Acquire(0ms));
    std::thread release([&other] {
        std::this_thread::sleep_for(300ms);
        other.Release();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(CashInOut(id, 5.0).Succeeded()) << LastMessage();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    release.join();
    EXPECT_EQ(Field("M242"), "5");
    ASSERT_TRUE(other.Acquire(0ms));
    std::thread releaseAgain([&other] {
        std::this_thread::sleep_for(300ms);
        other.Release();
    });
    const auto reading = std::chrono::steady_clock::now();
    EXPECT_TRUE(Status(id).Succeeded()) << LastMessage();
    EXPECT_GE(std::chrono::steady_clock::now() - reading, 250ms)
        << "a reading operation waits for the lock too";
    releaseAgain.join();

    // A holder that keeps it: the operation fails with the reason, and neither file changes.
    const std::string storage = StorageBytes();
    const std::string output = OutputBytes();
    ASSERT_TRUE(other.Acquire(0ms));
    EXPECT_FALSE(CashInOut(id, 7.0).Succeeded());
    EXPECT_EQ(LastMessage(),
              "Файл ФН " + StorageFile().string() + " занят другой операцией дольше 10 секунд");
    other.Release();
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_EQ(OutputBytes(), output);
    EXPECT_TRUE(Status(id).Succeeded()) << LastMessage();
}

// The document numbers of the output file in order ("#0007" in each header).
std::vector<long> DocumentNumbers(const std::string& output) {
    static const std::regex number("Кассир:[^\\r\\n]*#([0-9]+)");
    std::vector<long> numbers;
    for (auto it = std::sregex_iterator(output.begin(), output.end(), number); it != std::sregex_iterator();
         ++it)
        numbers.push_back(std::stol((*it)[1].str()));
    return numbers;
}

// Kills a process that issues documents at random moments, many times over (VELTRANO_KILL_ROUNDS, default
// 150), and checks the storage after every kill.
TEST_F(StorageProcessesTest, AProcessKilledAtAnyMomentLeavesAWholeStorage) {
    const std::string id = Connect(settings_);
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    const long base = std::stol(Field("TotalDocCounter"));
    const char* roundsText = std::getenv("VELTRANO_KILL_ROUNDS");
    const int rounds = roundsText != nullptr ? std::atoi(roundsText) : 150;
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delay(0, 4000);

    long previous = base;
    int leftTemporaries = 0;
    for (int round = 0; round < rounds; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = Spawn([this, &ready] {
            const std::string device = ChildConnect();
            if (device.empty())
                return 99;
            const char go = 'g';
            if (::write(ready[1], &go, 1) != 1)
                return 97;
            for (;;)
                if (!CashInOut(device, 1.0).Succeeded())
                    return 98;
        });
        ::close(ready[1]);
        char go = 0;
        const bool connected = ::read(ready[0], &go, 1) == 1;
        ::close(ready[0]);
        if (connected)
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        ASSERT_EQ(Wait(child), 128 + SIGKILL) << "the child stopped by itself in round " << round;

        // The lock died with its holder.
        platform::FileLock probe(StorageFile().string() + ".lock");
        ASSERT_TRUE(probe.Acquire(0ms)) << "round " << round;
        probe.Release();
        leftTemporaries += std::filesystem::exists(StorageFile().parent_path() / ".DataFN.xml.tmp") ? 1 : 0;

        // Whole documents only: every counted cash-in carries its count and its money.
        const long documents = std::stol(Field("TotalDocCounter"));
        ASSERT_GE(documents, previous) << "round " << round;
        ASSERT_EQ(std::stol(Field("O153")), documents - base) << "round " << round;
        ASSERT_EQ(Field("M242"), std::to_string(documents - base)) << "round " << round;
        previous = documents;
    }

    // The next operation of a living process cleans up and goes on from the last whole document.
    ASSERT_TRUE(CashInOut(id, 1.0).Succeeded()) << LastMessage();
    EXPECT_EQ(std::stol(Field("TotalDocCounter")), previous + 1);
    EXPECT_FALSE(std::filesystem::exists(StorageFile().parent_path() / ".DataFN.xml.tmp"));
    // Numbers never skip: a document written out but killed before its save is issued again under its number.
    const std::vector<long> numbers = DocumentNumbers(OutputBytes());
    ASSERT_FALSE(numbers.empty());
    for (std::size_t i = 1; i < numbers.size(); ++i)
        ASSERT_LE(numbers[i], numbers[i - 1] + 1) << "document " << i;
    EXPECT_EQ(numbers.back(), previous + 1);
    RecordProperty("LeftTemporaries", leftTemporaries);
    RecordProperty("Rounds", rounds);
}

} // namespace
} // namespace veltrano::hosttest
