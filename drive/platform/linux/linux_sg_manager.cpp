#include "drive/platform/linux/linux_sg_manager.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "drive/platform/linux/linux_host_rank.h"
#include "drive/platform/linux/linux_open.h"
#include "drive/platform/linux/linux_sg_io.h"

namespace kv {

namespace {

constexpr uint8_t kSsErr = 0x04;
constexpr uint8_t kSsInvalidHa = 0x81;
constexpr uint8_t kSsNoDevice = 0x82;
constexpr unsigned kSupportInfoStatusShift = 8;
constexpr unsigned kMaxHostCount = 255;
constexpr unsigned kAspiChannel = 0;
constexpr std::string_view kSgPrefix = "sg";

// "<prefix><digits>" -> the number.
std::optional<unsigned> NumberAfter(std::string_view prefix, const std::string& name) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
    return std::nullopt;
  }
  unsigned value = 0;
  const char* begin = name.data() + prefix.size();
  const char* end = name.data() + name.size();
  const auto [stop, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc{} || stop != end) {
    return std::nullopt;
  }
  return value;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder, bool& readable) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  readable = !ec;
  if (!ec) {
    for (const auto& entry : it) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

uint8_t ReadSysfsType(const LinuxPaths& paths, const std::string& name) {
  std::ifstream in(std::filesystem::path(paths.sysfsRoot) / "class" / "scsi_generic" / name /
                   "device" / "type");
  unsigned type = 0;
  if (!(in >> type) || type > UINT8_MAX) {
    return 0;
  }
  return static_cast<uint8_t>(type);
}

std::vector<SgNode> SysfsSgNodesOf(const LinuxPaths& paths) {
  std::vector<SgNode> nodes;
  bool readable = false;
  for (const std::string& name :
       FolderEntries(std::filesystem::path(paths.sysfsRoot) / "class" / "scsi_generic", readable)) {
    if (!NumberAfter(kSgPrefix, name)) {
      continue;
    }
    if (const auto address = ReadSysfsAddress(paths, "scsi_generic", name)) {
      nodes.push_back(SgNode{name, *address, ReadSysfsType(paths, name)});
    }
  }
  return nodes;
}

std::vector<SgNode> DevSgNodes(const LinuxPaths& paths) {
  std::vector<SgNode> nodes;
  bool readable = false;
  for (const std::string& name : FolderEntries(paths.devRoot, readable)) {
    if (!NumberAfter(kSgPrefix, name)) {
      continue;
    }
    const OpenResult opened = OpenNodeReadWrite(DevicePath(paths, name));
    if (opened.fd < 0) {
      continue;
    }
    sg_scsi_id id{};
    if (ioctl(opened.fd, SG_GET_SCSI_ID, &id) == 0 && id.host_no >= 0 && id.channel >= 0 &&
        id.scsi_id >= 0 && id.lun >= 0) {
      nodes.push_back(SgNode{
          name,
          KernelScsiAddress{static_cast<unsigned>(id.host_no), static_cast<unsigned>(id.channel),
                            static_cast<unsigned>(id.scsi_id), static_cast<unsigned>(id.lun)},
          static_cast<uint8_t>(id.scsi_type)});
    }
    close(opened.fd);
  }
  return nodes;
}

}  // namespace

std::vector<SgNode> ListSysfsSgNodes(const LinuxPaths& paths) {
  return SysfsSgNodesOf(paths);
}

std::vector<SgNode> ListSgNodes(const LinuxPaths& paths) {
  std::vector<SgNode> nodes = SysfsSgNodesOf(paths);
  if (nodes.empty()) {
    nodes = DevSgNodes(paths);
  }
  return nodes;
}

bool SgDriverPresent(const LinuxPaths& paths) {
  bool readable = false;
  if (!FolderEntries(std::filesystem::path(paths.sysfsRoot) / "class" / "scsi_generic", readable)
           .empty()) {
    return true;
  }
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::path(paths.procRoot) / "scsi" / "sg", ec);
}

SgManager::SgManager(LinuxPaths paths, std::vector<SgNode> nodes, unsigned hostCount,
                     std::shared_ptr<DeniedOpens> denied)
    : paths_(std::move(paths)),
      nodes_(std::move(nodes)),
      hostCount_(static_cast<uint8_t>(std::min(hostCount, kMaxHostCount))),
      denied_(std::move(denied)) {}

SgManager::~SgManager() {
  for (const auto& [name, fd] : openFds_) {
    close(fd);
  }
}

uint32_t SgManager::GetSupportInfo() {
  return (static_cast<uint32_t>(kSsComp) << kSupportInfoStatusShift) | hostCount_;
}

AspiHaInquiry SgManager::HaInquiry(uint8_t hostAdapter) {
  AspiHaInquiry answer;
  answer.srbStatus = hostAdapter < hostCount_ ? kSsComp : kSsInvalidHa;
  answer.haCount = hostCount_;
  return answer;
}

AspiDeviceType SgManager::GetDeviceType(uint8_t hostAdapter, uint8_t target, uint8_t lun) {
  AspiDeviceType answer;
  if (hostAdapter >= hostCount_) {
    answer.srbStatus = kSsInvalidHa;
  } else if (const SgNode* node = Find(hostAdapter, target, lun);
             node != nullptr && OpenNode(*node, true) >= 0) {
    // A node this user cannot open reaches no drive: it is reported absent, so that the scan
    // finds fewer drives than there are block nodes and the block nodes are used instead. The
    // refusal is kept for the hint: without the sg node, commands that the kernel filters on the
    // block node cannot reach the drive.
    answer.srbStatus = kSsComp;
    answer.deviceType = node->scsiType;
  } else {
    answer.srbStatus = kSsNoDevice;
  }
  return answer;
}

AspiExecResult SgManager::Execute(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                                  const ScsiRequest& request) {
  AspiExecResult answer;
  const SgNode* node = Find(hostAdapter, target, lun);
  if (node == nullptr) {
    answer.srbStatus = kSsNoDevice;
    return answer;
  }
  const int fd = OpenNode(*node, true);
  if (fd < 0) {
    answer.srbStatus = kSsErr;
    return answer;
  }
  const SgIoOutcome outcome = RunSgIo(fd, request);
  answer.timedOut = outcome.result.timedOut;
  answer.refused = outcome.result.refused;
  answer.openReadOnly = outcome.result.openReadOnly;
  if (!outcome.result.callSucceeded) {
    answer.srbStatus = kSsErr;
    return answer;
  }
  answer.senseArea = outcome.result.sense;
  answer.srbStatus = outcome.result.senseLength > 0 ? kSsErr : kSsComp;
  return answer;
}

std::string SgManager::NodeName(uint8_t hostAdapter, uint8_t target, uint8_t lun) const {
  const SgNode* node = Find(hostAdapter, target, lun);
  return node != nullptr ? paths_.devRoot + "/" + node->name : std::string();
}

const SgNode* SgManager::Find(uint8_t hostAdapter, uint8_t target, uint8_t lun) const {
  for (const SgNode& node : nodes_) {
    if (node.adapter == hostAdapter && node.address.channel == kAspiChannel &&
        node.address.id == target && node.address.lun == lun) {
      return &node;
    }
  }
  return nullptr;
}

int SgManager::OpenNode(const SgNode& node, bool noteRefusal) {
  if (const auto it = openFds_.find(node.name); it != openFds_.end()) {
    return it->second;
  }
  const std::string path = DevicePath(paths_, node.name);
  const OpenResult opened = OpenNodeReadWrite(path);
  if (noteRefusal && denied_ != nullptr) {
    denied_->Note(path, opened);
  }
  if (opened.fd >= 0) {
    openFds_.emplace(node.name, opened.fd);
  }
  return opened.fd;
}

AspiLoadResult LoadSgManager(const LinuxPaths& paths, std::shared_ptr<DeniedOpens> denied) {
  AspiLoadResult result;
  if (!SgDriverPresent(paths)) {
    result.outcome = AspiLoadResult::Outcome::ModuleNotFound;
    return result;
  }
  std::vector<SgNode> listed = ListSgNodes(paths);
  const std::vector<unsigned> cdHosts = CdHostNumbers(paths, listed);
  std::vector<SgNode> nodes;
  for (SgNode& node : listed) {
    if (node.scsiType == kDeviceTypeCdrom) {
      node.adapter = HostRank(cdHosts, node.address.host);
      nodes.push_back(std::move(node));
    }
  }
  const auto hostCount = static_cast<unsigned>(cdHosts.size());
  result.outcome = AspiLoadResult::Outcome::Loaded;
  result.manager =
      std::make_unique<SgManager>(paths, std::move(nodes), hostCount, std::move(denied));
  return result;
}

}  // namespace kv
