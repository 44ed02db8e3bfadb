// Decoders of the 802.11 information elements found in a scanned network's entry. Each decoder
// takes the element's id, length and data and an indent and answers whether it decoded the
// element; 0 asks the caller for a hex dump of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "tools/report/ReportOutput.h"

namespace report {

// A read past the bytes the adapter returned; the list's printing stops with its message.
class BssidListException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bounds-checked little-endian reads over a byte range.
class ByteView {
public:
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t size() const { return size_; }
    const uint8_t* at(size_t offset, size_t length) const;
    uint8_t u8(size_t offset) const { return *at(offset, 1); }
    uint16_t u16(size_t offset) const;
    uint32_t u32(size_t offset) const;
    ByteView sub(size_t offset, size_t length) const { return ByteView(at(offset, length), length); }

private:
    const uint8_t* data_;
    size_t size_;
};

class InformationElementConstants {
public:
    static constexpr int ELEMENT_INDENT = 6;
    static constexpr size_t DISPATCH_ROWS = 26;
    static constexpr size_t VARNEL_SUBTYPES = 33;
    static constexpr size_t DEVICE_TYPES = 33;
    static constexpr size_t RADIO_TYPES = 13;
    static constexpr uint8_t ID_VENDOR_SPECIFIC = 0xDD;
};

using ElementDecoder = int (*)(ReportOutput& out, uint8_t id, uint8_t length, const uint8_t* data,
                               int indent);

struct ElementDispatchRow {
    uint8_t id;
    ElementDecoder decoder;
};

// The dispatch table, searched in order; the first row with the id wins.
extern const ElementDispatchRow ELEMENT_DISPATCH[InformationElementConstants::DISPATCH_ROWS];

// The decoder of the first row with the id, or none.
ElementDecoder FindElementDecoder(uint8_t id);

// 16 bytes a line: hex groups, two blanks, then the bytes as characters.
void HexDump(ReportOutput& out, const uint8_t* data, size_t length, int indent);

// Printable characters as they are, the others as a backslash and two hex digits.
void PrintSsidCharacters(ReportOutput& out, const uint8_t* data, size_t length);

// Names of a 4-byte {OUI, type} suite.
void PrintCipherSuite(ReportOutput& out, const uint8_t* suite);
void PrintKeyManagementSuite(ReportOutput& out, const uint8_t* suite);

// One element: the id line, its decoder at the element indent, else a hex dump of its data.
void DecodeElement(ReportOutput& out, uint8_t id, uint8_t length, const uint8_t* data);

// The decoders nested inside the vendor-specific element; `data` follows the 4-byte OUI and
// type, `length` is the whole element's.
int DecodeWpaElement(ReportOutput& out, uint8_t length, const uint8_t* data, int indent);
int DecodeWpsSsidList(ReportOutput& out, uint8_t length, const uint8_t* data, int indent);

}  // namespace report
