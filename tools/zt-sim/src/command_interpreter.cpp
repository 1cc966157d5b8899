#include "command_interpreter.h"

#include "cli_options.h"

#include <charconv>
#include <limits>
#include <map>
#include <stdexcept>

namespace zt::sim::cli {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr unsigned kMaxPort = 255;
constexpr unsigned kMaxRequests = 1'000'000;

// A command error; its message becomes the reply "error: <message>".
struct CommandError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The words of one command line, taken from the left.
class Words {
public:
    explicit Words(std::string_view line) : rest_(line) {}

    [[nodiscard]] std::string_view next() {
        skipBlanks();
        const auto end = std::min(rest_.find_first_of(kBlanks), rest_.size());
        const auto word = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return word;
    }
    // Everything after the words taken so far, without the blanks around it.
    [[nodiscard]] std::string_view rest() {
        skipBlanks();
        const auto last = rest_.find_last_not_of(kBlanks);
        return rest_.substr(0, last == std::string_view::npos ? 0 : last + 1);
    }
    void expectEnd() {
        if (!rest().empty()) throw CommandError("unexpected '" + std::string(rest()) + "'");
    }

private:
    void skipBlanks() { rest_.remove_prefix(std::min(rest_.find_first_not_of(kBlanks), rest_.size())); }

    std::string_view rest_;
};

unsigned number(std::string_view word, std::string_view what, unsigned max) {
    if (word.empty()) throw CommandError(std::string(what) + " missing");
    unsigned value = 0;
    const auto* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc{} || stop != end || value > max) {
        throw CommandError("invalid " + std::string(what) + " '" + std::string(word) + "'");
    }
    return value;
}

int asInt(unsigned value) { return static_cast<int>(value); }

SimScanner& scannerAt(Simulator& simulator, Words& words) {
    const unsigned port = number(words.next(), "port", kMaxPort);
    try {
        return simulator.scanner(asInt(port));
    } catch (const std::out_of_range&) {
        throw CommandError("no scanner on COM" + std::to_string(port));
    }
}

std::string scan(Simulator& simulator, Words& words, bool deleted) {
    auto& scanner = scannerAt(simulator, words);
    const auto text = words.rest();
    if (text.empty()) throw CommandError("text missing");
    scanner.sendScan(text, deleted);
    return {};
}

std::string list(Simulator& simulator, Words& words) {
    words.expectEnd();
    std::string out;
    for (const int port : simulator.ports()) {
        auto& scanner = simulator.scanner(port);
        const auto terminal = scanner.terminalPath();
        out += "COM" + std::to_string(port) + " records " + std::to_string(scanner.recordCount()) + " " +
               (terminal.empty() ? std::string("away") : terminal.string()) + "\n";
    }
    return out;
}

// A command that acts on one scanner and takes at most one number after the port.
using ScannerAction = void (*)(SimScanner&, unsigned);

struct NumberCommand {
    std::string_view argument;  // empty for commands without a number
    unsigned max;
    ScannerAction act;
};

const std::map<std::string_view, NumberCommand, std::less<>>& scannerCommands() {
    static const std::map<std::string_view, NumberCommand, std::less<>> commands{
        {"fill", {"N", static_cast<unsigned>(kMaxFill), [](SimScanner& s, unsigned n) { s.fillRecords(asInt(n)); }}},
        {"erase", {{}, 0, [](SimScanner& s, unsigned) { s.eraseRecords(); }}},
        {"hangup", {{}, 0, [](SimScanner& s, unsigned) { s.hangUp(); }}},
        {"comeback", {{}, 0, [](SimScanner& s, unsigned) { s.comeBack(); }}},
        {"silent", {"N", kMaxRequests, [](SimScanner& s, unsigned n) { s.staySilent(asInt(n)); }}},
        {"fail-collect", {"K", kMaxRequests, [](SimScanner& s, unsigned k) { s.failCollectAfter(asInt(k)); }}},
        {"baud", {"B", std::numeric_limits<unsigned>::max(), [](SimScanner& s, unsigned b) { s.setBaud(b); }}},
    };
    return commands;
}

}  // namespace

std::string commandHelp() {
    return "scan PORT TEXT...      send a scan packet with TEXT\n"
           "deleted PORT TEXT...   send a deleted-data packet with TEXT\n"
           "fill PORT N            add N generated records to the store\n"
           "erase PORT             erase the stored records\n"
           "hangup PORT            walk out of range (the port is lost)\n"
           "comeback PORT          come back in range\n"
           "silent PORT N          leave the next N requests unanswered\n"
           "fail-collect PORT K    the next collect goes silent after K records\n"
           "baud PORT B            wire speed in bits per second, 0 for unlimited\n"
           "list                   ports, record counts and terminals\n"
           "help                   this list\n"
           "quit                   stop the simulator\n";
}

std::string CommandInterpreter::execute(std::string_view line) {
    const std::lock_guard lock(mutex_);
    try {
        return run(line);
    } catch (const std::exception& error) {  // also the scanner's own, e.g. a terminal that cannot be made
        std::string_view why = error.what();
        if (why.starts_with("zt-sim: ")) why.remove_prefix(8);
        return "error: " + std::string(why) + "\n";
    }
}

std::string CommandInterpreter::execute(const Line& line) {
    if (line.tooLong) return "error: line longer than " + std::to_string(LineSplitter::kMaxLine) + " bytes\n";
    return execute(line.text);
}

std::string CommandInterpreter::run(std::string_view line) {
    Words words(line);
    const auto name = words.next();
    if (name.empty()) return {};
    if (name == "scan" || name == "deleted") return scan(simulator_, words, name == "deleted") + "ok\n";
    if (name == "list") return list(simulator_, words) + "ok\n";
    if (name == "help") {
        words.expectEnd();
        return commandHelp() + "ok\n";
    }
    if (name == "quit") {
        words.expectEnd();
        quit_.store(true);
        quitEvent_.signal();
        return "ok\n";
    }
    const auto& commands = scannerCommands();
    const auto found = commands.find(name);
    if (found == commands.end()) throw CommandError("unknown command '" + std::string(name) + "' (try help)");
    const auto& command = found->second;
    auto& scanner = scannerAt(simulator_, words);
    const unsigned value = command.argument.empty() ? 0 : number(words.next(), command.argument, command.max);
    words.expectEnd();
    command.act(scanner, value);
    return "ok\n";
}

}  // namespace zt::sim::cli
