#include "access/credentials_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

#include <boost/algorithm/string/predicate.hpp>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "http/endpoint.hpp"
#include "hue/address.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "json/value.hpp"

namespace Access {
namespace {

using Json::Value;

// The credentials files read are the user's own and small; a larger one is
// not one of ours.
constexpr off_t kMaxFileBytes = 1 << 20;

[[noreturn]] void unreadable(const std::string& path) {
    throw std::runtime_error("Error: " + path +
                             " is not a readable list of bridge user names; repair or remove it.");
}

// A file that could not even be opened: the cause is the system's (a folder
// on the way that is not one, or that this user may not enter), not the file's.
[[noreturn]] void unopenable(const std::string& path, int error) {
    throw std::runtime_error("Error: cannot read " + path + ": " + std::strerror(error) + ".");
}

[[noreturn]] void unwritable(const std::string& path, int error) {
    throw std::runtime_error("Error: cannot write " + path + ": " + std::strerror(error) + ".");
}

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// True when `member` is absent or a text.
bool text_or_absent(const Value* member) { return member == nullptr || member->is_string(); }

// The forms of "address": those written now ("https://IP[:PORT]", "IP:PORT")
// and before ("IP" alone, plain HTTP on 80).
constexpr Http::EndpointForms kEntryAddress{
    .urls = true, .host_port = true, .bare = Http::BareAddress::plain_http};

// Where the entry `entry` says its bridge answers: its address, with the
// scheme and port written beside it by earlier versions, over HTTPS when it
// holds a pin. nullopt when the address is none of kEntryAddress. REQUIRES:
// "address" is a text, "scheme", "port" and "sha256" of their types if there.
std::optional<Http::Endpoint> address_of(const Value& entry) {
    auto address = Http::read_endpoint(Json::as_string(Json::at(entry, "address")), kEntryAddress);
    if (!address) return std::nullopt;
    const Value* scheme = Json::find(entry, "scheme");
    if (scheme != nullptr && Json::as_string(*scheme) == "https") {
        address->scheme = Hue::Scheme::Https;
    }
    if (const Value* port = Json::find(entry, "port")) {
        address->port = static_cast<unsigned short>(Json::as_int(*port));
    }
    const Value* sha256 = Json::find(entry, "sha256");
    if (sha256 != nullptr && !Json::as_string(*sha256).empty()) {
        address->scheme = Hue::Scheme::Https;  // a pinned bridge is never asked in clear
    }
    return address;
}

// True when `entry` is a well-formed entry: an object with text "address" of
// kEntryAddress and non-empty text "username", "scheme" "http" or "https" if
// any, "port" an integer of 1 to 65535 if any, and text "id" and "sha256" if
// any.
bool is_entry(const Value& entry) {
    const Value* address = Json::find(entry, "address");
    const Value* username = Json::find(entry, "username");
    if (address == nullptr || !address->is_string()) return false;
    if (username == nullptr || !username->is_string() || Json::as_string(*username).empty()) {
        return false;
    }
    if (const Value* scheme = Json::find(entry, "scheme")) {
        if (!scheme->is_string() ||
            (Json::as_string(*scheme) != "http" && Json::as_string(*scheme) != "https")) {
            return false;
        }
    }
    if (const Value* port = Json::find(entry, "port")) {
        // Read as a 64-bit number, so that no larger one wraps into the range.
        if (!Json::is_integer(*port) || Json::as_int64(*port) < 1 ||
            Json::as_int64(*port) > 65535) {
            return false;
        }
    }
    return text_or_absent(Json::find(entry, "sha256")) && text_or_absent(Json::find(entry, "id")) &&
           address_of(entry).has_value();
}

// The file's content, or nullopt when it does not exist. Throws when it
// exists but is no credentials file.
std::optional<Value> read_file(const std::string& path) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) return std::nullopt;
        unopenable(path, errno);
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > kMaxFileBytes) {
        unreadable(path);
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) unreadable(path);
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > static_cast<std::size_t>(kMaxFileBytes)) unreadable(path);
    }
    Value content;
    try {
        content = Json::parse(text);
    } catch (const Json::ParseError&) {
        unreadable(path);
    }
    if (!content.is_object()) unreadable(path);
    if (!Json::has(content, "bridges")) content["bridges"] = Value::array();
    if (!content["bridges"].is_array()) unreadable(path);
    for (const auto& entry : Json::as_array(content["bridges"])) {
        if (!is_entry(entry)) unreadable(path);
    }
    return content;
}

// The entries of `content`, a file read_file accepted.
const Value::array_t& entries_of(const Value& content) {
    return Json::as_array(Json::at(content, "bridges"));
}

std::string id_of(const Value& entry) {
    const Value* id = Json::find(entry, "id");
    return id != nullptr ? Json::as_string(*id) : std::string();
}

// The entry of the file `entry`, which is_entry accepted.
CredentialsFile::Entry entry_of(const Value& entry) {
    CredentialsFile::Entry found;
    found.username = Json::as_string(Json::at(entry, "username"));
    found.id = id_of(entry);
    found.address = *address_of(entry);
    if (const Value* sha256 = Json::find(entry, "sha256")) found.sha256 = Json::as_string(*sha256);
    const Value* newer = Json::find(entry, "v2");
    found.newer = newer != nullptr && newer->is_boolean() && Json::as_bool(*newer);
    return found;
}

// The entries of `content`, a file read_file accepted, in the file's order.
std::vector<CredentialsFile::Entry> readable_entries(const std::optional<Value>& content) {
    std::vector<CredentialsFile::Entry> entries;
    if (!content) return entries;
    for (const auto& entry : entries_of(*content)) {
        entries.push_back(entry_of(entry));
    }
    return entries;
}

// True when `entry` is of `bridge`: by id when both ids are known (letter
// case aside), else by host and port.
bool matches(const CredentialsFile::Entry& entry, const Hue::Bridge& bridge) {
    if (!bridge.id().empty() && !entry.id.empty()) return boost::iequals(entry.id, bridge.id());
    return entry.address.host == bridge.endpoint().host &&
           entry.address.port == bridge.endpoint().port;
}

bool matches(const Value& entry, const Hue::Bridge& bridge) {
    return matches(entry_of(entry), bridge);
}

// Creates `directory` and the directories above it that are missing, private
// to this user.
void make_directories(const std::string& directory, const std::string& path) {
    if (directory.empty() || directory == "/" || directory == ".") return;
    struct stat status {};
    if (::stat(directory.c_str(), &status) == 0) return;
    make_directories(directory_of(directory), path);
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) unwritable(path, errno);
}

// The members of an entry in the order they are written, each present one
// once; members of other names follow in name order.
constexpr const char* kEntryOrder[] = {"id",   "address", "username", "scheme",
                                       "port", "sha256",  "v2"};

bool is_ordered_member(const std::string& key) {
    for (const char* name : kEntryOrder) {
        if (key == name) return true;
    }
    return false;
}

// `entry` as one line of JSON text, its members in the order of kEntryOrder.
std::string entry_text(const Value& entry) {
    std::string text;
    const auto add = [&text](const std::string& key, const Value& member) {
        text += (text.empty() ? "{" : ",") + Json::text(Value(key)) + ":" + Json::text(member);
    };
    for (const char* name : kEntryOrder) {
        if (const Value* member = Json::find(entry, name)) add(name, *member);
    }
    for (const auto& [key, member] : Json::as_object(entry)) {
        if (!is_ordered_member(key)) add(key, member);
    }
    return text.empty() ? "{}" : text + "}";
}

// The file's text: one entry per line, so that it reads and edits well.
std::string file_text(const Value& content) {
    std::string text = "{\n";
    bool first = true;
    for (const auto& [key, member] : Json::as_object(content)) {
        text += first ? "" : ",\n";
        first = false;
        text += "  " + Json::text(Value(key)) + ": ";
        if (key != "bridges") {
            text += Json::text(member);
            continue;
        }
        text += "[";
        const auto& entries = Json::as_array(member);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            text += (i == 0 ? "\n    " : ",\n    ") + entry_text(entries[i]);
        }
        text += entries.empty() ? "]" : "\n  ]";
    }
    return text + "\n}\n";
}

// Writes `text` to `path` whole: to a new private file in `directory`, flushed
// to disk, then renamed over `path`.
void replace_file(const std::string& path, int directory, const std::string& text) {
    std::string temporary = path + ".XXXXXX";
    const FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) unwritable(path, errno);
    std::size_t written = 0;
    int error = 0;
    while (written < text.size() && error == 0) {
        const ssize_t n = ::write(fd.get(), text.data() + written, text.size() - written);
        if (n < 0 && errno != EINTR) error = errno;
        if (n > 0) written += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fchmod(fd.get(), 0600) != 0) error = errno;
    if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        unwritable(path, error);
    }
    ::fsync(directory);
}

// Reads the file under the directory's lock, lets `change` edit the entries
// and writes the file again when they changed. Returns the file's content
// after the change; nullopt when there is no file.
template <class Change>
std::optional<Value> update(const std::string& path, bool create, Change change) {
    if (path.empty()) {
        throw std::runtime_error(
            "Error: neither XDG_CONFIG_HOME nor HOME is set, so there is no file to keep bridge "
            "user names in.");
    }
    const std::string directory = directory_of(path);
    if (create) {
        make_directories(directory, path);
        // The directory holds what lets this user drive the lights: for this
        // user only.
        if (::chmod(directory.c_str(), 0700) != 0) unwritable(path, errno);
    }
    const FileDescriptor lock(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (lock.get() < 0) {
        if (!create && errno == ENOENT) return std::nullopt;
        unwritable(path, errno);
    }
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) unwritable(path, errno);
    }
    std::optional<Value> content = read_file(path);
    if (!content) {
        if (!create) return std::nullopt;
        content = Value::object();
        (*content)["bridges"] = Value::array();
    }
    Value::array_t& entries = (*content)["bridges"].get_ref<Value::array_t&>();
    const Value::array_t before = entries;
    change(entries);
    if (entries != before) replace_file(path, lock.get(), file_text(*content));
    return content;
}

}  // namespace

CredentialsFile::CredentialsFile(std::string path) : m_path(std::move(path)) {}

std::optional<std::string> CredentialsFile::find(const Hue::Bridge& bridge) const {
    const auto entry = find_entry(bridge);
    if (!entry) return std::nullopt;
    return entry->username;
}

const std::vector<CredentialsFile::Entry>& CredentialsFile::entries() const {
    if (!m_entries) {
        m_entries = readable_entries(m_path.empty() ? std::nullopt : read_file(m_path));
    }
    return *m_entries;
}

std::optional<CredentialsFile::Entry> CredentialsFile::find_entry(const Hue::Bridge& bridge) const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& entry : entries()) {
        if (matches(entry, bridge)) return entry;
    }
    return std::nullopt;
}

std::vector<CredentialsFile::Entry> CredentialsFile::remembered() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Entry> remembered;
    for (const auto& entry : entries()) {
        if (!entry.id.empty()) remembered.push_back(entry);
    }
    return remembered;
}

void CredentialsFile::store(const Hue::Bridge& bridge, const std::string& user_id,
                            const std::string& sha256, bool newer) const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_entries = readable_entries(update(m_path, true, [&](Value::array_t& entries) {
        std::string id = bridge.id();
        Value::array_t kept;
        std::size_t place = entries.size();  // where the first entry of the bridge was
        for (const auto& entry : entries) {
            if (!matches(entry, bridge)) {
                kept.push_back(entry);
                continue;
            }
            if (place == entries.size()) place = kept.size();
            if (id.empty()) id = id_of(entry);  // an id learned before is not forgotten
        }
        Value entry = Value::object();
        if (!id.empty()) entry["id"] = id;
        entry["address"] = Http::location_text(bridge.endpoint());
        entry["username"] = user_id;
        if (!sha256.empty()) entry["sha256"] = sha256;
        if (newer) entry["v2"] = true;
        kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(std::min(place, kept.size())),
                    std::move(entry));  // in the place of the entry it replaces
        entries = std::move(kept);
    }));
}

void CredentialsFile::set_newer(const Hue::Bridge& bridge, bool newer) const {
    if (m_path.empty()) return;
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_entries = readable_entries(update(m_path, false, [&](Value::array_t& entries) {
        for (auto& entry : entries) {
            if (!matches(entry, bridge)) continue;
            if (newer) {
                entry["v2"] = true;
            } else {
                entry.erase("v2");
            }
        }
    }));
}

void CredentialsFile::remove(const Hue::Bridge& bridge, const std::string& user_id) const {
    if (m_path.empty()) return;
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_entries = readable_entries(update(m_path, false, [&](Value::array_t& entries) {
        Value::array_t kept;
        for (auto& entry : entries) {
            if (!matches(entry, bridge) ||
                Json::as_string(Json::at(entry, "username")) != user_id) {
                kept.push_back(std::move(entry));
            }
        }
        entries = std::move(kept);
    }));
}

}  // namespace Access
