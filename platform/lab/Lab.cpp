#include "platform/lab/Lab.h"

#include <cstdio>
#include <cstdlib>

#include "platform/base/FailureInjection.h"
#include "platform/base/Root.h"
#include "platform/lab/LabReader.h"

namespace lab {

namespace {

// Serialises acquire and release, which wait for the lab thread and the socket thread and so
// cannot hold the world's lock while they do.
std::mutex LifeMutex;

std::string joinLines(const std::string& output, const std::string& last) {
    return output.empty() ? last : output + "\n" + last;
}

// "name=value" into its two halves; false without "=".
bool pair(const std::string& word, std::string* name, std::string* value) {
    size_t equals = word.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    *name = word.substr(0, equals);
    *value = word.substr(equals + 1);
    return true;
}

}  // namespace

std::vector<std::string> commandWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word.push_back(c);
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

Lab& Lab::instance() {
    static Lab lab;
    return lab;
}

namespace {
// The lab and its command table are made before main, outside any heap a program checks at its end.
[[maybe_unused]] Lab& TheLab = Lab::instance();
}  // namespace

Lab::Lab() {
    addCommand("add",
               [this](const std::vector<std::string>& words, std::string*) { return addElement(words); });
    addCommand("set",
               [this](const std::vector<std::string>& words, std::string*) { return setElement(words); });
    addCommand("remove",
               [this](const std::vector<std::string>& words, std::string*) { return removeElement(words); });
    addCommand("fail", [this](const std::vector<std::string>& words, std::string*) { return fail(words); });
    addCommand("calls", [this](const std::vector<std::string>& words, std::string* output) {
        return calls(words, output);
    });
}

bool Lab::acquire(std::string* error) {
    std::lock_guard<std::mutex> life(LifeMutex);
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_users > 0) {
        ++m_users;
        return true;
    }
    World world;
    if (!readLabFile(labFilePath(), &world, error)) return false;
    m_world = std::move(world);
    m_scheduler.start(m_manual);
    startFromWorld();
    if (!m_manual) {
        std::string reason;
        if (!m_socket.start(
                socketPath(), [this](const std::string& line) { return command(line); }, &reason))
            std::fprintf(stderr, "lab: run/lab is not served: %s\n", reason.c_str());
    }
    m_users = 1;
    return true;
}

void Lab::startFromWorld() {
    for (const Element& element : m_world.all("fail"))
        base::failNext(element.text("function"), static_cast<std::uint32_t>(element.integer("code")),
                       static_cast<int>(element.integer("count")));
    for (const Element& element : m_world.all("at")) {
        TimedCommand timed{element.text("do"), m_world.file + ":" + std::to_string(element.line())};
        schedule(element.integer("ms"), [this, timed] { runTimed(timed); });
    }
}

void Lab::runTimed(const TimedCommand& timed) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    // The lab starts with the first stand-in a program loads; a command of one that has not started
    // yet (the authentication library's "link" at 0 ms, say) runs as soon as that one adds it.
    std::vector<std::string> words = commandWords(timed.line);
    if (!words.empty() && m_commands.find(words[0]) == m_commands.end()) {
        m_waitingForCommand.push_back(timed);
        return;
    }
    reportTimed(timed, command(timed.line));
}

void Lab::reportTimed(const TimedCommand& timed, const std::string& answer) {
    if (answer.rfind("error:", 0) == 0 || answer.find("\nerror:") != std::string::npos)
        std::fprintf(stderr, "lab: %s: <at> \"%s\": %s\n", timed.where.c_str(), timed.line.c_str(),
                     answer.c_str());
}

void Lab::release() {
    std::lock_guard<std::mutex> life(LifeMutex);
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (m_users == 0 || --m_users > 0) return;
    }
    m_socket.stop();
    m_scheduler.stop();
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    // A timed command whose stand-in never started is reported as any refused one.
    for (const TimedCommand& timed : m_waitingForCommand) reportTimed(timed, command(timed.line));
    std::vector<TimedCommand>().swap(m_waitingForCommand);
    // Nothing of the world outlives its use.
    m_world.clear();
}

bool Lab::running() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_users > 0;
}

void Lab::setManual(bool manual) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_manual = manual;
}

bool Lab::manual() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_manual;
}

void Lab::pump() {
    m_scheduler.pump();
}

void Lab::advance(int64_t ms) {
    m_scheduler.advance(ms);
}

int Lab::addListener(std::function<void(const std::string& element)> listener) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    int id = m_nextListener++;
    m_listeners[id] = std::move(listener);
    return id;
}

void Lab::removeListener(int id) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_listeners.erase(id);
}

void Lab::changed(const std::string& element) {
    auto listeners = m_listeners;
    for (const auto& [id, listener] : listeners) listener(element);
}

void Lab::addCommand(const std::string& word, CommandHandler handler) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_commands[word] = std::move(handler);
    // Timed commands that waited for this one run now, in their order, on the lab's clock.
    for (auto it = m_waitingForCommand.begin(); it != m_waitingForCommand.end();) {
        if (commandWords(it->line).front() != word) {
            ++it;
            continue;
        }
        TimedCommand timed = *it;
        it = m_waitingForCommand.erase(it);
        schedule(0, [this, timed] { runTimed(timed); });
    }
}

std::string Lab::command(const std::string& line) {
    std::vector<std::string> words = commandWords(line);
    if (words.empty()) return "error: no command";
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_commands.find(words[0]);
    if (it == m_commands.end()) return "error: unknown command " + words[0];
    std::string output;
    std::string reason = it->second(words, &output);
    return joinLines(output, reason.empty() ? "ok" : "error: " + reason);
}

std::string Lab::socketPath() {
    return base::rootFolder(base::RootFolders::RUN) + "/lab";
}

std::string Lab::addElement(const std::vector<std::string>& words) {
    if (words.size() < 2) return "add <element> attribute=value ...";
    const ElementSpec* spec = elementSpec(words[1]);
    if (spec == nullptr) return "unknown element " + words[1];
    Element element(words[1], 0);
    for (size_t i = 2; i < words.size(); ++i) {
        std::string name;
        std::string value;
        if (!pair(words[i], &name, &value)) return "not attribute=value: " + words[i];
        std::string reason;
        if (!element.set(name, value, m_world.folder, &reason)) return reason;
    }
    std::string reason;
    if (!m_world.add(std::move(element), true, &reason)) return reason;
    changed(words[1]);
    return "";
}

std::string Lab::setElement(const std::vector<std::string>& words) {
    if (words.size() < 3) return "set <element> key=value attribute=value ...";
    const ElementSpec* spec = elementSpec(words[1]);
    if (spec == nullptr) return "unknown element " + words[1];
    std::string key;
    std::vector<std::pair<std::string, std::string>> changes;
    for (size_t i = 2; i < words.size(); ++i) {
        std::string name;
        std::string value;
        if (!pair(words[i], &name, &value)) return "not attribute=value: " + words[i];
        bool isKey =
            (spec->key != nullptr && name == spec->key) || (spec->altKey != nullptr && name == spec->altKey);
        if (isKey && key.empty()) {
            key = value;
        } else {
            changes.emplace_back(name, value);
        }
    }
    std::string reason;
    if (!m_world.set(words[1], key, changes, &reason)) return reason;
    changed(words[1]);
    return "";
}

std::string Lab::removeElement(const std::vector<std::string>& words) {
    if (words.size() < 2 || words.size() > 3) return "remove <element> key=value";
    std::string key;
    if (words.size() == 3) {
        std::string name;
        if (!pair(words[2], &name, &key)) return "not key=value: " + words[2];
    }
    std::string reason;
    if (!m_world.remove(words[1], key, &reason)) return reason;
    changed(words[1]);
    return "";
}

std::string Lab::fail(const std::vector<std::string>& words) {
    if (words.size() == 2 && words[1] == "clear") {
        base::clearFailures();
        return "";
    }
    if (words.size() < 3 || words.size() > 4) return "fail <function> <code> [count|always], or fail clear";
    const ElementSpec& spec = *elementSpec("fail");
    std::string code;
    std::string count = "1";
    std::string reason;
    if (!checkValue(*attributeSpec(spec, "code"), words[2], "", &code, &reason)) return "code: " + reason;
    if (words.size() == 4 && !checkValue(*attributeSpec(spec, "count"), words[3], "", &count, &reason))
        return "count: " + reason;
    base::failNext(words[1], static_cast<std::uint32_t>(std::atoi(code.c_str())), std::atoi(count.c_str()));
    return "";
}

std::string Lab::calls(const std::vector<std::string>& words, std::string* output) {
    if (words.size() == 2 && words[1] == "clear") {
        clearCalls();
        return "";
    }
    if (words.size() != 1) return "calls, or calls clear";
    for (const std::string& line : recordedCalls()) {
        if (!output->empty()) output->push_back('\n');
        *output += line;
    }
    return "";
}

}  // namespace lab

int tamsel_lab_injected_failure(const char* function, int* code) {
    std::uint32_t injected = 0;
    if (function == nullptr || code == nullptr || !base::injectedFailure(function, injected)) return 0;
    *code = static_cast<int>(injected);
    return 1;
}

void tamsel_lab_record_call(const char* line) {
    if (line != nullptr) lab::recordCall(line);
}
