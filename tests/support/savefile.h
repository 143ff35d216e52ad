#pragma once
// Capture savefiles written with libpcap, for tests that read frames back as from a device.
#include <cstdint>
#include <string>
#include <vector>

#include <pcap/dlt.h>

namespace test {

using Frame = std::vector<std::uint8_t>;

// Writes frames (each captured whole) into a savefile of the given link type; false when
// libpcap could not.
bool write_savefile(const std::string& path, const std::vector<Frame>& frames, int linktype = DLT_EN10MB);

}  // namespace test
