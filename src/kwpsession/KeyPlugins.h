// SecurityAccess key plug-ins (TavrinSecurityKey.h), loaded only from the
// folders the user or the host names: never the working directory, never a
// path from the vehicle description. Each failure says which plug-in, where and why.
#pragma once

#include "HexText.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace TavrinKwp {

class KeyPlugins {
  public:
    KeyPlugins() = default;
    ~KeyPlugins();
    KeyPlugins(const KeyPlugins&) = delete;
    KeyPlugins& operator=(const KeyPlugins&) = delete;

    // Absolute folder paths, searched in order; throws KeyPlugin for an empty or relative one.
    void setFolders(const std::vector<std::string>& folders);
    std::vector<std::string> folders() const;
    // The key for the seed an ECU gave at the requestSeed level; throws
    // Sorvik3::Error(SessionError::KeyPlugin) when there is none.
    Bytes key(const std::string& plugin, uint8_t level, const Bytes& seed);

    // A key as it may be written anywhere: its first byte, the rest hidden.
    static std::string masked(const Bytes& key);

  private:
    void* load(const std::string& plugin);

    mutable std::mutex mutex_;
    std::vector<std::string> folders_;
    std::map<std::string, void*> loaded_;  // plug-in name -> dlopen handle
};

}  // namespace TavrinKwp
