#include "RealLinks.h"

#include "ConnectionOptions.h"
#include "OffThreadLink.h"

namespace TavrinKwp {

// A line's timing runs on a thread of its own: the caller's thread never sleeps through it.
void registerRealLinks(const std::function<void(const std::string& key, LinkKind kind)>& add)
{
    add("kline", {[](const std::string& text, const Connection& connection, auto) {
                      auto line = std::make_unique<KLineLink>(text, klineOptions(text, connection));
                      return OpenedLink{std::make_shared<OffThreadLink>(std::move(line)), nullptr};
                  },
                  [](const std::string& text, const Connection& connection) { klineOptions(text, connection); },
                  "kline:PORT?baud=N&echo=0|1"});
    add("can", {[](const std::string& text, const Connection& connection, auto) {
                    auto line = std::make_unique<CanLink>(text, canOptions(text, connection));
                    return OpenedLink{std::make_shared<OffThreadLink>(std::move(line)), nullptr};
                },
                [](const std::string& text, const Connection& connection) { canOptions(text, connection); },
                "can:PLUGIN:INTERFACE?bitrate=N"});
    add("elm", {[](const std::string& text, const Connection& connection, auto) {
                    auto line = std::make_unique<ElmLink>(text, elmOptions(text, connection));
                    return OpenedLink{std::make_shared<OffThreadLink>(std::move(line)), nullptr};
                },
                [](const std::string& text, const Connection& connection) { elmOptions(text, connection); },
                "elm:PORT?baud=N&bitrate=N&protocol=auto|kline|can"});
}

}  // namespace TavrinKwp
