#include "support/savefile.h"

#include <pcap/pcap.h>

namespace test {

bool write_savefile(const std::string& path, const std::vector<Frame>& frames, int linktype) {
  pcap_t* dead = pcap_open_dead(linktype, 65535);
  if (dead == nullptr) return false;
  pcap_dumper_t* dumper = pcap_dump_open(dead, path.c_str());
  if (dumper == nullptr) {
    pcap_close(dead);
    return false;
  }
  long seconds = 1;
  for (const Frame& frame : frames) {
    pcap_pkthdr header{};
    header.ts.tv_sec = seconds++;
    header.caplen = header.len = static_cast<bpf_u_int32>(frame.size());
    pcap_dump(reinterpret_cast<u_char*>(dumper), &header, frame.data());
  }
  pcap_dump_close(dumper);
  pcap_close(dead);
  return true;
}

}  // namespace test
