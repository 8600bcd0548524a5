// The configuration groups (older protocol) and settings blocks (newer protocol) a
// simulated device holds, and the named fields inside them that the store shows.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "activex/table_view.h"
#include "text_codec.h"

namespace devsim {

enum class Protocol { Old, New };

std::string_view ProtocolName(Protocol protocol);  // "old" / "new"

struct BlockDef {
    std::string_view name;  // key in the store ("syspub", "quor", ...)
    Protocol protocol;
    int group;              // older protocol: group number for ZRM_Get/SetPuParam; else -1
    std::size_t size;
};

enum class FieldKind {
    U8,
    U16,
    U32,
    Ipv4Network,  // 32 bits, bytes a.b.c.d in memory (inet_addr's value)
    Ipv4Host,     // 32 bits, the machine's own order with a in the top byte
    Text,         // zero-terminated within `width` bytes
};

struct FieldDef {
    std::string_view key;    // named value in the store ("platform_ip", ...)
    std::string_view block;
    std::size_t offset;
    std::size_t width;
    FieldKind kind;
    std::string_view label;  // for `devsim show`
    bool address_guarded;    // the device refuses a write that sets it to 0.0.0.0 / 255.255.255.255
};

using activex::TableView;  // a constant table, for range-for

TableView<BlockDef> Blocks(Protocol protocol);
TableView<FieldDef> Fields(Protocol protocol);
const BlockDef* FindBlock(Protocol protocol, std::string_view name);
const BlockDef* FindGroup(int group);  // older protocol only
const FieldDef* FindField(Protocol protocol, std::string_view key);

// The field's content as text: decimal numbers, dotted addresses, or the text itself.
std::string ReadField(const FieldDef& field, const Bytes& block);
// Writes a textual value into the field; false (and a reason) when it does not fit.
bool WriteField(const FieldDef& field, std::string_view value, Bytes& block, std::string& error);

// The IP configuration block of the newer protocol hands out its two 32-bit fields at
// offsets 24 and 28 in network order and takes them back in host order; the device
// keeps them in host order.
constexpr std::size_t kIpInfoSwappedFields[] = {24, 28};

}  // namespace devsim
