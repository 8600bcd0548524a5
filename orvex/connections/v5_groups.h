// Configuration groups of an older-protocol device, as the V5 adapter uses them:
// group numbers, the sizes passed, and the offsets of the fields it reads or writes.
#pragma once

namespace v5 {

enum emPuConfig : int {
    emPuConfig_Sys = 1,
    emPuConfig_SysPub = 2,
    emPuConfig_Nms = 28,
    emPuConfig_Domain = 51,
};

constexpr int kNmsSize = 80;
constexpr int kNmsPlatAddr = 4;

constexpr int kSysPubSize = 412;
constexpr int kSysPubDeviceAddr = 72;
constexpr int kSysPubPlatPort = 88;
constexpr int kSysPubPlatAddr = 92;
constexpr int kSysPubPuId = 174;
constexpr int kSysPubPuId2 = 207;
constexpr int kPuIdFieldSize = 33;
constexpr int kSysPubSetting275 = 275;
constexpr unsigned char kSetting275Default = 4;  // written when the byte reads 0
constexpr int kSysPubCharsets = 282;
constexpr int kCharsetsFieldSize = 65;
constexpr int kSysPubCharsetInUse = 347;
constexpr int kCharsetInUseSize = 64;

constexpr int kSysSize = 148;
constexpr int kSysName = 0;
constexpr int kNameFieldSize = 65;
constexpr int kNameCopySize = 64;  // the zero-padded copy when capability 74 allows it

constexpr int kDomainSize = 252;
constexpr int kDomainUseFlag = 56;

constexpr int kCapNameCopy = 74;

}  // namespace v5
