// The ASPI-style manager on Linux: the sg driver. Host adapters are the kernel's SCSI hosts, and
// each (host, target, lun) on channel 0 is reached through its /dev/sgN node.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "drive/platform.h"
#include "drive/platform/linux/linux_nodes.h"
#include "drive/platform/linux/linux_open.h"
#include "drive/platform/linux/linux_paths.h"

namespace kv {

struct SgNode {
  std::string name;  // "sg0"
  KernelScsiAddress address;
  uint8_t scsiType = 0;
  unsigned adapter = 0;  // the host adapter number the manager answers to (linux_host_rank.h)
};

// The sg nodes the kernel shows, from sysfs, or when sysfs has none by SG_GET_SCSI_ID on the
// /dev/sgN nodes that open (each closed again at once).
std::vector<SgNode> ListSgNodes(const LinuxPaths& paths);
// The sg nodes as sysfs shows them, with their SCSI type; opens nothing.
std::vector<SgNode> ListSysfsSgNodes(const LinuxPaths& paths);

// Whether the sg driver is there: a non-empty <sysfs>/class/scsi_generic, or <proc>/scsi/sg.
bool SgDriverPresent(const LinuxPaths& paths);

class SgManager : public AspiManager {
 public:
  // denied, when given, learns of every sg node whose open is refused for lack of permission.
  SgManager(LinuxPaths paths, std::vector<SgNode> nodes, unsigned hostCount,
            std::shared_ptr<DeniedOpens> denied = nullptr);
  ~SgManager() override;
  SgManager(const SgManager&) = delete;
  SgManager& operator=(const SgManager&) = delete;

  uint32_t GetSupportInfo() override;
  AspiHaInquiry HaInquiry(uint8_t hostAdapter) override;
  AspiDeviceType GetDeviceType(uint8_t hostAdapter, uint8_t target, uint8_t lun) override;
  AspiExecResult Execute(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                         const ScsiRequest& request) override;
  std::string NodeName(uint8_t hostAdapter, uint8_t target, uint8_t lun) const override;

 private:
  const SgNode* Find(uint8_t hostAdapter, uint8_t target, uint8_t lun) const;
  // The kept descriptor of the node, opening it on first use; noteRefusal reports a refused open
  // to denied_.
  int OpenNode(const SgNode& node, bool noteRefusal);

  LinuxPaths paths_;
  std::vector<SgNode> nodes_;
  uint8_t hostCount_;
  std::shared_ptr<DeniedOpens> denied_;
  std::map<std::string, int> openFds_;  // by node name; closed on destruction
};

// ModuleNotFound when the sg driver is absent; otherwise a loaded manager that knows only the
// CD/DVD nodes (SCSI type 5): the others are never opened. Host adapters are the ranks of the
// kernel hosts that carry CD/DVD drives (HostRank), so the count is the number of such hosts.
AspiLoadResult LoadSgManager(const LinuxPaths& paths,
                             std::shared_ptr<DeniedOpens> denied = nullptr);

}  // namespace kv
