#pragma once
// A bench's virtual LAN with the calling thread in the PC's namespace and the PC's Adapter
// table built; ok() is false (and the reason printed) when the LAN could not be built.
#include <cstdio>

#include "netenv/adapter_table.h"
#include "platform/adapters.h"
#include "support/scripted_view.h"
#include "support/virtual_lan.h"

namespace bench {

struct BenchLan {
  explicit BenchLan(const test::LanTopology& topology) : lan(topology), pc(lan) {
    if (!lan.ok()) {
      std::printf("virtual LAN failed: %s\n", lan.error().c_str());
      return;
    }
    netenv::build_adapter_table(adapters, platform::list_adapters(), view);
  }
  bool ok() const { return lan.ok() && pc.ok(); }

  test::VirtualLan lan;
  test::PcNamespaceScope pc;
  test::ScriptedView view;
  netenv::AdapterTable adapters;
};

}  // namespace bench
