// The store file: what one store object writes, a new one reads; concurrent writers
// from threads of one process lose no update.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "temp_store.h"

namespace devsim {
namespace {

TEST(Store, MissingFileIsAnEmptyStore)
{
    testing::TempStore temp;
    EXPECT_TRUE(temp.Read().devices.empty());
}

TEST(Store, WritesSurviveIntoANewStoreObject)
{
    testing::TempStore temp;
    {
        Store writer(temp.path());
        std::string error;
        ASSERT_TRUE(writer.Update(
            [](StoreData& data) {
                Device device = MakeDevice("192.168.3.4", Protocol::Old);
                std::string why;
                device.SetField("pu_id", "PU-9", why);
                device.restarts = 4;
                data.devices[device.address] = device;
                return true;
            },
            error))
            << error;
    }
    const Device device = temp.Get("192.168.3.4");
    EXPECT_EQ(device.Field("pu_id"), "PU-9");
    EXPECT_EQ(device.restarts, 4);
}

TEST(Store, UnchangedUpdateDoesNotWrite)
{
    testing::TempStore temp;
    std::string error;
    ASSERT_TRUE(temp.store().Update([](StoreData&) { return false; }, error));
    EXPECT_FALSE(std::filesystem::exists(temp.path()));
}

TEST(Store, ConcurrentWritersLoseNoUpdate)
{
    testing::TempStore temp;
    temp.Add(MakeDevice("192.168.3.4", Protocol::New));
    constexpr int kThreads = 4, kEach = 25;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t)
        writers.emplace_back([&] {
            Store own(temp.path());  // a store object per thread, as each library call makes
            for (int i = 0; i < kEach; ++i) {
                std::string error;
                own.Update([](StoreData& d) { return ++d.Find("192.168.3.4")->logins, true; }, error);
            }
        });
    for (auto& w : writers) w.join();
    EXPECT_EQ(temp.Get("192.168.3.4").logins, kThreads * kEach);
}

}  // namespace
}  // namespace devsim
