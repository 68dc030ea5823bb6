#include "KeyPlugins.h"

#include "ErrorNumbers.h"
#include "TavrinSecurityKey.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace TavrinKwp {
namespace {

constexpr unsigned kKeyCapacity = 255;

Sorvik3::Error pluginError(const std::string& text)
{
    return sessionError(SessionError::KeyPlugin, text);
}

bool regularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

KeyPlugins::~KeyPlugins()
{
    for (auto& [name, handle] : loaded_)
        ::dlclose(handle);
}

void KeyPlugins::setFolders(const std::vector<std::string>& folders)
{
    for (const auto& folder : folders) {
        // A relative folder would be found from wherever the program was started.
        if (folder.empty() || folder.front() != '/')
            throw pluginError("Key plug-in folder '" + folder +
                              "' is not an absolute path: plug-ins are loaded only "
                              "from folders named in full");
    }
    std::lock_guard lock(mutex_);
    folders_ = folders;
}

std::vector<std::string> KeyPlugins::folders() const
{
    std::lock_guard lock(mutex_);
    return folders_;
}

void* KeyPlugins::load(const std::string& plugin)
{
    if (auto found = loaded_.find(plugin); found != loaded_.end()) return found->second;
    if (folders_.empty())
        throw pluginError("No folder for key plug-ins was named: the key plug-in '" + plugin +
                          "' cannot be looked for (--key-plugins FOLDER)");
    for (const auto& folder : folders_) {
        for (const std::string& file : {"lib" + plugin + ".so", plugin + ".so"}) {
            const std::string path = folder + "/" + file;
            if (!regularFile(path)) continue;
            void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                const char* why = ::dlerror();
                throw pluginError("Key plug-in '" + path + "' failed to load: " + (why ? why : "unknown reason"));
            }
            loaded_[plugin] = handle;
            return handle;
        }
    }
    std::string searched;
    for (const auto& folder : folders_)
        searched += (searched.empty() ? "" : ", ") + folder;
    throw pluginError("Key plug-in '" + plugin + "' is in none of the folders named: " + searched);
}

Bytes KeyPlugins::key(const std::string& plugin, uint8_t level, const Bytes& seed)
{
    std::lock_guard lock(mutex_);
    void* handle = load(plugin);
    auto compute = reinterpret_cast<TavrinSecurityKeyFunction>(::dlsym(handle, TAVRIN_SECURITY_KEY_SYMBOL));
    if (compute == nullptr)
        throw pluginError("Key plug-in '" + plugin + "' has no function " + TAVRIN_SECURITY_KEY_SYMBOL);
    Bytes key(kKeyCapacity);
    unsigned length = 0;
    try {
        length = compute(level, seed.data(), static_cast<unsigned>(seed.size()), key.data(), kKeyCapacity);
    } catch (...) {
        throw pluginError("Key plug-in '" + plugin + "' failed (it threw) for a seed of " +
                          std::to_string(seed.size()) + " bytes at level " + hexByte(level));
    }
    if (length == 0 || length > kKeyCapacity)
        throw pluginError("Key plug-in '" + plugin + "' gave no key for a seed of " + std::to_string(seed.size()) +
                          " bytes at level " + hexByte(level));
    key.resize(length);
    return key;
}

std::string KeyPlugins::masked(const Bytes& key)
{
    if (key.empty()) return "";
    std::string text = hexText({key.front()});
    for (size_t i = 1; i < key.size(); ++i)
        text += " **";
    return text;
}

}  // namespace TavrinKwp
