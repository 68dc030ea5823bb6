#include "LinkRegistry.h"

#include "ErrorNumbers.h"
#include "RealLinks.h"

#include <map>
#include <mutex>
#include <vector>

namespace TavrinKwp {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, LinkKind> kinds;
    std::vector<std::string> order;  // as registered, for the words of a refusal

    void add(const std::string& key, LinkKind kind)
    {
        if (!kinds.contains(key)) order.push_back(key);
        kinds[key] = std::move(kind);
    }
};

// The real links are there from the first use on: a program that links the
// session library alone reaches a cable or an adapter without asking.
Registry& registry()
{
    static Registry* instance = [] {
        auto* made = new Registry;  // never destroyed: a session may close its link during exit
        registerRealLinks([made](const std::string& key, LinkKind kind) { made->add(key, std::move(kind)); });
        return made;
    }();
    return *instance;
}

// How the connection strings of every registered kind are written.
std::string connectionUsage()
{
    auto& known = registry();
    std::lock_guard lock(known.mutex);
    std::string usage;
    size_t left = known.order.size();
    for (const auto& key : known.order) {
        usage += known.kinds.at(key).usage;
        --left;
        usage += left == 0 ? "" : left == 1 ? " or " : ", ";
    }
    return usage;
}

// A port with a kind of its own ("kline:loopback") comes before its scheme's.
LinkKind kindOf(const std::string& text, const Connection& connection)
{
    {
        auto& known = registry();
        std::lock_guard lock(known.mutex);
        for (const std::string& key : {connection.kind + ":" + connection.port, connection.kind}) {
            const auto found = known.kinds.find(key);
            if (found != known.kinds.end()) return found->second;
        }
    }
    // The words list every registered kind: the registry is read again, unlocked here.
    if (connection.kind == "sim" || connection.port == "loopback") {
        refuseConnection(text, "the simulated vehicle is not part of this program (a host links "
                               "TavrinIoCtl::KwpSimulation and calls TavrinKwp::registerSimulatedLinks())");
    }
    refuseConnection(text, "unknown kind of link");
}

}  // namespace

void registerLink(const std::string& key, LinkKind kind)
{
    auto& known = registry();
    std::lock_guard lock(known.mutex);
    known.add(key, std::move(kind));
}

OpenedLink openLink(const std::string& text, std::shared_ptr<const VehicleDescription> vehicle)
{
    const Connection connection = parseConnection(text);
    return kindOf(text, connection).open(text, connection, std::move(vehicle));
}

void refuseConnection(const std::string& text, const std::string& why)
{
    throw sessionError(SessionError::BadConnection,
                       "Connection '" + text + "': " + why + " (use " + connectionUsage() + ")");
}

void checkConnection(const std::string& text)
{
    const Connection connection = parseConnection(text);
    kindOf(text, connection).check(text, connection);
}

}  // namespace TavrinKwp
