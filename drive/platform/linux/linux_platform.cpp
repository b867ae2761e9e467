#include "drive/platform/linux/linux_platform.h"

#include <scsi/scsi.h>
#include <scsi/scsi_ioctl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <optional>
#include <system_error>

#include "drive/platform/linux/linux_clock.h"
#include "drive/platform/linux/linux_host_rank.h"
#include "drive/platform/linux/linux_nodes.h"
#include "drive/platform/linux/linux_open.h"
#include "drive/platform/linux/linux_sg_io.h"
#include "drive/platform/linux/linux_sg_manager.h"

namespace kv {

namespace {

// SCSI_IOCTL_GET_IDLUN packs the address into dev_id: id, lun, channel from the low byte up.
constexpr unsigned kIdlunIdShift = 0;
constexpr unsigned kIdlunLunShift = 8;
constexpr unsigned kIdlunChannelShift = 16;
constexpr unsigned kByteMask = 0xFF;
constexpr unsigned kMaxAddressPart = 0xFF;

struct ScsiIdlun {
  int devId;
  int hostUniqueId;
};

uint8_t Saturate(unsigned value) {
  return static_cast<uint8_t>(std::min(value, kMaxAddressPart));
}

// address with the host already replaced by its rank.
ScsiAddressResult Found(const KernelScsiAddress& address) {
  ScsiAddressResult result;
  result.outcome = ScsiAddressResult::Outcome::Found;
  // Saturating keeps a part too large for a byte out of the kept range rather than wrapping it
  // onto another drive's address.
  result.port = Saturate(address.host);
  result.pathId = Saturate(address.channel);
  result.target = Saturate(address.id);
  result.lun = Saturate(address.lun);
  return result;
}

}  // namespace

LinuxPlatform::LinuxPlatform(LinuxPaths paths)
    : paths_(std::move(paths)), denied_(std::make_shared<DeniedOpens>()) {}

LinuxPlatform::~LinuxPlatform() {
  for (const auto& [handle, name] : openNodes_) {
    close(static_cast<int>(handle));
  }
}

int64_t LinuxPlatform::CounterFrequency() {
  return kMonotonicTicksPerSecond;
}
int64_t LinuxPlatform::CounterNow() {
  return MonotonicNanoseconds();
}
void LinuxPlatform::SleepMilliseconds(uint32_t ms) {
  SleepFor(ms);
}

DriveRootList LinuxPlatform::ListDriveRoots() {
  DriveRootList list;
  list.roots = ListSrNodes(paths_);
  list.outcome = list.roots.empty() ? DriveRootList::Outcome::Empty : DriveRootList::Outcome::Ok;
  return list;
}

bool LinuxPlatform::IsCdromRoot(const std::string& root) {
  if (!IsSrNodeName(root)) {
    return false;
  }
  const std::vector<std::string> nodes = ListSrNodes(paths_);
  return std::find(nodes.begin(), nodes.end(), root) != nodes.end();
}

DeviceHandle LinuxPlatform::OpenDevice(const std::string& root) {
  // Only node names are opened: a root path never reaches outside the device folder.
  if (!IsSrNodeName(root)) {
    return kInvalidHandle;
  }
  const std::string path = DevicePath(paths_, root);
  const OpenResult opened = OpenNodeReadWrite(path);
  denied_->Note(path, opened);
  if (opened.fd < 0) {
    return kInvalidHandle;
  }
  openNodes_[opened.fd] = root;
  return opened.fd;
}

void LinuxPlatform::CloseDevice(DeviceHandle handle) {
  const auto it = openNodes_.find(handle);
  if (it == openNodes_.end()) {
    return;
  }
  close(static_cast<int>(handle));
  openNodes_.erase(it);
}

ScsiAddressResult LinuxPlatform::GetScsiAddress(DeviceHandle handle) {
  const auto it = openNodes_.find(handle);
  if (it == openNodes_.end()) {
    return ScsiAddressResult{};
  }
  const int fd = static_cast<int>(handle);
  ScsiIdlun idlun{};
  int host = 0;
  if (ioctl(fd, SCSI_IOCTL_GET_IDLUN, &idlun) == 0 &&
      ioctl(fd, SCSI_IOCTL_GET_BUS_NUMBER, &host) == 0 && host >= 0) {
    const auto devId = static_cast<unsigned>(idlun.devId);
    return Listed(KernelScsiAddress{
        static_cast<unsigned>(host), (devId >> kIdlunChannelShift) & kByteMask,
        (devId >> kIdlunIdShift) & kByteMask, (devId >> kIdlunLunShift) & kByteMask});
  }
  if (const auto address = ReadSysfsAddress(paths_, "block", it->second)) {
    return Listed(*address);
  }
  return ScsiAddressResult{};
}

ScsiAddressResult LinuxPlatform::Listed(const KernelScsiAddress& address) const {
  KernelScsiAddress ranked = address;
  ranked.host = HostRank(CdHostNumbers(paths_, ListSysfsSgNodes(paths_)), address.host);
  return Found(ranked);
}

ScsiAddressResult LinuxPlatform::NodeAddress(const std::string& devicePath) {
  // Only a node of the device folder itself ("/dev/sr1", "/dev/sg3"), or a link to one
  // ("/dev/cdrom").
  std::error_code nodeError;
  std::error_code folderError;
  const std::filesystem::path node = std::filesystem::canonical(devicePath, nodeError);
  const std::filesystem::path folder = std::filesystem::canonical(paths_.devRoot, folderError);
  if (nodeError || folderError || node.parent_path() != folder) {
    return ScsiAddressResult{};
  }
  const std::string name = node.filename().string();
  std::optional<KernelScsiAddress> address;
  if (IsSrNodeName(name)) {
    address = ReadSysfsAddress(paths_, "block", name);
  } else if (name.size() > 2 && name.compare(0, 2, "sg") == 0 &&
             name.find_first_not_of("0123456789", 2) == std::string::npos) {
    address = ReadSysfsAddress(paths_, "scsi_generic", name);
  }
  return address ? Listed(*address) : ScsiAddressResult{};
}

PassThroughResult LinuxPlatform::PassThrough(DeviceHandle handle, const ScsiRequest& request) {
  // Commands go only to nodes this platform opened, never to a number some other file now holds.
  if (openNodes_.find(handle) == openNodes_.end()) {
    PassThroughResult refused;
    refused.osError = EBADF;
    return refused;
  }
  return RunSgIo(static_cast<int>(handle), request).result;
}

AspiLoadResult LinuxPlatform::LoadAspi() {
  return LoadSgManager(paths_, denied_);
}

std::vector<DeniedNode> LinuxPlatform::DeniedNodes() const {
  return denied_->List();
}

std::vector<std::string> LinuxPlatform::PassThroughNotes() const {
  // Root passes the kernel's command filter on any node; the sg nodes matter only to others.
  if (geteuid() != 0 && !SgDriverPresent(paths_)) {
    return {kSgNotLoadedNote};
  }
  return {};
}

std::unique_ptr<Platform> CreateLinuxPlatform() {
  return std::make_unique<LinuxPlatform>();
}

std::unique_ptr<Platform> CreateLinuxPlatform(const LinuxPaths& paths) {
  return std::make_unique<LinuxPlatform>(paths);
}

}  // namespace kv
