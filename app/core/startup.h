// The start-up the main window, the command line and the benchmark share: the application tag,
// the device object with its notifier, the writer list, the selected drive and the user-defined
// media database. One method per step, in the order the main window takes them; the window calls
// them one by one between its own steps, the command line and the benchmark in a row.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "app/core/main_window_logic.h"
#include "drive/atapi_device.h"
#include "media/user_database.h"

namespace kv {

class Notifier;
class Platform;

class Startup {
 public:
  // platform may be null (it could not be created): the device step then fails. The notifier
  // gets the device's load failures. Both must outlive the object.
  Startup(Platform* platform, Notifier& notifier);
  ~Startup();
  Startup(const Startup&) = delete;
  Startup& operator=(const Startup&) = delete;

  // Lets the device about to be built prefer the ASPI-style manager.
  void SetApplicationTag();
  // Builds the device object; false without a platform or when the construction fails.
  bool CreateDevice();
  // The writers among the device's drives, in their order and without gaps; empty without a
  // device. Kept until the next call.
  const DriveListing& ListWriters();
  // Opens a drive of the device's table; false without a device or when it cannot be opened.
  bool SelectDrive(int16_t driveIndex);
  // Selects the drive of a writer line (from 0); nullopt when the line lists no drive or the
  // drive cannot be opened.
  std::optional<int16_t> SelectWriterLine(int line);
  // Loads the user-defined media database into UserCd and UserDvd; a load that stopped keeps the
  // records before the bad line and says why.
  UserDatabaseLoad LoadUserDatabase();
  // Destroys the device, then empties both lists.
  void Close();

  // Null until CreateDevice succeeds and after Close.
  const std::unique_ptr<AtapiDevice>& Device() const { return device_; }
  const DriveListing& Writers() const { return writers_; }
  UserCdList& UserCd() { return userCd_; }
  UserDvdList& UserDvd() { return userDvd_; }

 private:
  Platform* platform_;
  Notifier& notifier_;
  std::unique_ptr<AtapiDevice> device_;
  DriveListing writers_ = EmptyDriveListing();
  UserCdList userCd_;
  UserDvdList userDvd_;
};

}  // namespace kv
