#include "ctl/ctl_options.h"

#include <vector>

#include "editor/selective_merge.h"

namespace zentrik {

namespace {

std::optional<CtlCommand> CommandNamed(std::string_view name) {
    if (name == "info") {
        return CtlCommand::Info;
    }
    if (name == "download") {
        return CtlCommand::Download;
    }
    if (name == "upload") {
        return CtlCommand::Upload;
    }
    if (name == "compare") {
        return CtlCommand::Compare;
    }
    if (name == "check") {
        return CtlCommand::Check;
    }
    if (name == "upgrade") {
        return CtlCommand::Upgrade;
    }
    if (name == "scan") {
        return CtlCommand::Scan;
    }
    if (name == "ports") {
        return CtlCommand::Ports;
    }
    if (name == "sheet") {
        return CtlCommand::Sheet;
    }
    if (name == "history") {
        return CtlCommand::History;
    }
    if (name == "doctor") {
        return CtlCommand::Doctor;
    }
    return std::nullopt;
}

CtlParseResult Error(std::string text) {
    CtlParseResult result;
    result.error = std::move(text);
    return result;
}

}  // namespace

CtlParseResult ParseCtlArguments(std::span<const std::string_view> args) {
    CtlOptions options;
    std::vector<std::string_view> words;
    // The options that take a value, and whether each was given.
    struct ValueOption {
        std::string_view name;
        std::string* value;
        bool given = false;
    };
    ValueOption valueOptions[] = {
        {"--port", &options.port}, {"--ini", &options.ini}, {"--config", &options.configFile}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            CtlParseResult result;
            result.help = true;
            return result;
        }
        if (arg == "--version") {
            CtlParseResult result;
            result.version = true;
            return result;
        }
        if (arg == "--yes" || arg == "-y") {
            options.yes = true;
            continue;
        }
        if (arg == "--verify" || arg == "--backup" || arg == "--correct") {
            (arg == "--verify"   ? options.verify
             : arg == "--backup" ? options.backup
                                 : options.correct) = true;
            continue;
        }
        if (arg == "--") {
            words.insert(words.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                         args.end());
            break;
        }
        if (arg == "--only" || arg.starts_with("--only=")) {
            std::string_view name = arg.substr(std::string_view("--only").size());
            if (name.empty()) {
                if (i + 1 >= args.size()) {
                    return Error("--only needs a setting");
                }
                name = args[++i];
            } else {
                name.remove_prefix(1);
            }
            // Named as compare prints them; a name that is not one ends the run before the
            // port is touched.
            const std::optional<SettingRef> setting = SettingNamed(name);
            if (!setting) {
                return Error("unknown setting \"" + std::string(name) + "\" for --only");
            }
            options.only.push_back(*setting);
            continue;
        }
        ValueOption* option = nullptr;
        for (ValueOption& candidate : valueOptions) {
            if (arg.starts_with(candidate.name) &&
                (arg.size() == candidate.name.size() || arg[candidate.name.size()] == '=')) {
                option = &candidate;
            }
        }
        if (option != nullptr) {
            const std::string name(option->name);
            std::string_view value;
            if (arg.size() == name.size()) {
                if (i + 1 >= args.size()) {
                    return Error(name + " needs a value");
                }
                value = args[++i];
            } else {
                value = arg.substr(name.size() + 1);
            }
            if (value.empty()) {
                return Error(name + " needs a value");
            }
            if (option->given) {
                return Error(name + " given twice");
            }
            option->given = true;
            *option->value = std::string(value);
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            return Error("unknown option " + std::string(arg));
        }
        words.push_back(arg);
    }

    if (words.empty()) {
        return Error("no command given");
    }
    const std::optional<CtlCommand> command = CommandNamed(words[0]);
    if (!command) {
        return Error("unknown command " + std::string(words[0]));
    }
    options.command = *command;
    // The one file that upgrade reads and sheet writes.
    std::string* operand = *command == CtlCommand::Upgrade ? &options.firmwareFile
                           : *command == CtlCommand::Sheet ? &options.sheetFile
                                                           : nullptr;
    const std::size_t operands = operand != nullptr ? 1 : 0;
    if (words.size() - 1 < operands) {
        return Error(*command == CtlCommand::Upgrade ? "upgrade needs a firmware file"
                                                     : "sheet needs a file to write");
    }
    if (words.size() - 1 > operands) {
        return Error("unexpected argument " + std::string(words[operands + 1]));
    }
    if (operand != nullptr) {
        *operand = std::string(words[1]);
    }
    // Options that only one command or a few can use are refused elsewhere rather than
    // silently ignored.
    const CtlCommand c = *command;
    if (!options.configFile.empty() && c != CtlCommand::Download && c != CtlCommand::Upload &&
        c != CtlCommand::Compare && c != CtlCommand::Check && c != CtlCommand::Sheet) {
        return Error("--config goes with download, upload, compare, check or sheet");
    }
    if (options.correct && c != CtlCommand::Upload) {
        return Error("--correct goes with upload");
    }
    if (!options.only.empty() && c != CtlCommand::Upload) {
        return Error("--only goes with upload");
    }
    if (options.verify && c != CtlCommand::Upload) {
        return Error("--verify goes with upload");
    }
    if (options.backup && c != CtlCommand::Upgrade) {
        return Error("--backup goes with upgrade");
    }
    CtlParseResult result;
    result.options = std::move(options);
    return result;
}

}  // namespace zentrik
