#include "FSCommand.h"

FSCommandAction DispatchFSCommand(const std::string& command, const std::string& args,
                                  const std::string& host) {
    if (command == "kefoweb") {
        if (args.empty() || args[0] != '/') return {};
        return {FSCommandAction::OpenPage, "http://" + host + args};
    }
    if (command == "kefoend") return {FSCommandAction::NextEpisode, {}};
    return {};
}
