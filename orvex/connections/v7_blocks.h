// Settings blocks of a newer-protocol device, as the V7 adapter uses them: the sizes
// it allocates and passes, and the offsets of the fields it changes.
#pragma once

namespace v7 {

constexpr int kQuorSize = 598;
constexpr int kQuorPlatPort = 4;
constexpr int kQuorPlatAddr = 8;
constexpr int kQuorPuId = 12;
constexpr int kPuIdFieldSize = 33;

constexpr int kDeviceInfoSize = 329;  // the size argument passed is 0
constexpr int kDeviceInfoName = 0;
constexpr int kNameFieldSize = 65;

constexpr int kIpInfoSize = 1866;
constexpr int kIpInfoSwapped1 = 24;  // converted from network to host order
constexpr int kIpInfoSwapped2 = 28;
constexpr int kIpInfoDeviceAddr = 32;

// Library set-up and the connection detector.
constexpr int kCameraInitValue = 3300;
constexpr int kMediaInitValue = 3000;
constexpr int kDetectInterval = 3000;
constexpr int kDetectMode = 2;

}  // namespace v7
