// Several processes writing the same store: the file lock keeps every update.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "temp_store.h"

namespace devsim {
namespace {

TEST(StoreProcesses, ConcurrentProcessesLoseNoUpdate)
{
    testing::TempStore temp;
    temp.Add(MakeDevice("192.168.3.4", Protocol::Old));
    constexpr int kChildren = 3, kEach = 20;
    std::vector<pid_t> children;
    for (int c = 0; c < kChildren; ++c) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            Store own(temp.path());
            bool ok = true;
            for (int i = 0; i < kEach; ++i) {
                std::string error;
                ok &= own.Update([](StoreData& d) { return ++d.Find("192.168.3.4")->restarts, true; }, error);
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(temp.Get("192.168.3.4").restarts, kChildren * kEach);
}

}  // namespace
}  // namespace devsim
