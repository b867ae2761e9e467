#include "drive/platform/linux/linux_host_rank.h"

#include <algorithm>

#include "drive/platform/linux/linux_nodes.h"
#include "drive/platform/linux/linux_sg_manager.h"

namespace kv {

std::vector<unsigned> CdHostNumbers(const LinuxPaths& paths, const std::vector<SgNode>& sgNodes) {
  std::vector<unsigned> hosts;
  for (const std::string& name : ListSrNodes(paths)) {
    if (const auto address = ReadSysfsAddress(paths, "block", name)) {
      hosts.push_back(address->host);
    }
  }
  for (const SgNode& node : sgNodes) {
    if (node.scsiType == kDeviceTypeCdrom) {
      hosts.push_back(node.address.host);
    }
  }
  std::sort(hosts.begin(), hosts.end());
  hosts.erase(std::unique(hosts.begin(), hosts.end()), hosts.end());
  return hosts;
}

unsigned HostRank(const std::vector<unsigned>& cdHosts, unsigned host) {
  if (cdHosts.empty()) {
    return host;
  }
  return static_cast<unsigned>(std::lower_bound(cdHosts.begin(), cdHosts.end(), host) -
                               cdHosts.begin());
}

}  // namespace kv
