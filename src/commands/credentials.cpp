#include "commands/credentials.hpp"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

#include <boost/algorithm/string/predicate.hpp>
#include <cpprest/json.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "hue/address.hpp"

namespace Commands {
namespace {

using web::json::value;

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

// True when `entry` is a well-formed entry: an object with text "address"
// and non-empty text "username", and text "id" if any.
bool is_entry(const value& entry) {
    if (!entry.is_object() || !entry.has_field("address") || !entry.has_field("username")) {
        return false;
    }
    if (!entry.at("address").is_string() || !entry.at("username").is_string()) return false;
    if (entry.at("username").as_string().empty()) return false;
    if (entry.has_field("scheme")) {
        const auto& scheme = entry.at("scheme");
        if (!scheme.is_string() ||
            (scheme.as_string() != "http" && scheme.as_string() != "https")) {
            return false;
        }
    }
    if (entry.has_field("port")) {
        const auto& port = entry.at("port");
        if (!port.is_integer() || port.as_integer() < 1 || port.as_integer() > 65535) return false;
    }
    if (entry.has_field("sha256") && !entry.at("sha256").is_string()) return false;
    return !entry.has_field("id") || entry.at("id").is_string();
}

// The file's content, or nullopt when it does not exist. Throws when it
// exists but is no credentials file.
std::optional<value> read_file(const std::string& path) {
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
    value content;
    try {
        content = value::parse(text);
    } catch (const web::json::json_exception&) {
        unreadable(path);
    }
    if (!content.is_object()) unreadable(path);
    if (!content.has_field("bridges")) content["bridges"] = value::array();
    if (!content.at("bridges").is_array()) unreadable(path);
    for (const auto& entry : content.at("bridges").as_array()) {
        if (!is_entry(entry)) unreadable(path);
    }
    return content;
}

std::string id_of(const value& entry) {
    return entry.has_field("id") ? entry.at("id").as_string() : std::string();
}

// The entry of the file `entry`, which is_entry accepted.
CredentialsFile::Entry entry_of(const value& entry) {
    CredentialsFile::Entry found;
    found.username = entry.at("username").as_string();
    found.id = id_of(entry);
    found.address = entry.at("address").as_string();
    if (entry.has_field("scheme") && entry.at("scheme").as_string() == "https") {
        found.scheme = Hue::Scheme::Https;
    }
    if (entry.has_field("port")) {
        found.port = static_cast<unsigned short>(entry.at("port").as_integer());
    }
    if (entry.has_field("sha256")) found.sha256 = entry.at("sha256").as_string();
    return found;
}

bool matches(const value& entry, const Hue::Bridge& bridge) {
    const std::string id = id_of(entry);
    if (!bridge.id().empty() && !id.empty()) return boost::iequals(id, bridge.id());
    return entry.at("address").as_string() == Hue::address_text(bridge.ip(), bridge.port());
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

// The file's text: one entry per line, so that it reads and edits well.
std::string file_text(const value& content) {
    std::string text = "{\n";
    bool first = true;
    for (const auto& [key, member] : content.as_object()) {
        text += first ? "" : ",\n";
        first = false;
        text += "  " + value::string(key).serialize() + ": ";
        if (key != "bridges") {
            text += member.serialize();
            continue;
        }
        text += "[";
        const auto& entries = member.as_array();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            text += (i == 0 ? "\n    " : ",\n    ") + entries.at(i).serialize();
        }
        text += entries.size() == 0 ? "]" : "\n  ]";
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
// and writes the file again when `change` returns true.
template <class Change>
void update(const std::string& path, bool create, Change change) {
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
        if (!create && errno == ENOENT) return;
        unwritable(path, errno);
    }
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) unwritable(path, errno);
    }
    std::optional<value> content = read_file(path);
    if (!content) {
        if (!create) return;
        content = value::object();
        (*content)["bridges"] = value::array();
    }
    std::vector<value> entries;
    for (const auto& entry : content->at("bridges").as_array()) entries.push_back(entry);
    if (!change(entries)) return;
    (*content)["bridges"] = value::array(entries);
    replace_file(path, lock.get(), file_text(*content));
}

}  // namespace

CredentialsFile::CredentialsFile(std::string path) : m_path(std::move(path)) {}

std::optional<std::string> CredentialsFile::find(const Hue::Bridge& bridge) const {
    const auto entry = find_entry(bridge);
    if (!entry) return std::nullopt;
    return entry->username;
}

std::optional<CredentialsFile::Entry> CredentialsFile::find_entry(const Hue::Bridge& bridge) const {
    if (m_path.empty()) return std::nullopt;
    const std::optional<value> content = read_file(m_path);
    if (!content) return std::nullopt;
    for (const auto& entry : content->at("bridges").as_array()) {
        if (matches(entry, bridge)) return entry_of(entry);
    }
    return std::nullopt;
}

std::vector<CredentialsFile::Entry> CredentialsFile::remembered() const {
    std::vector<Entry> entries;
    if (m_path.empty()) return entries;
    const std::optional<value> content = read_file(m_path);
    if (!content) return entries;
    for (const auto& entry : content->at("bridges").as_array()) {
        if (!id_of(entry).empty()) entries.push_back(entry_of(entry));
    }
    return entries;
}

void CredentialsFile::store(const Hue::Bridge& bridge, const std::string& user_id,
                            const std::string& sha256) const {
    update(m_path, true, [&](std::vector<value>& entries) {
        std::string id = bridge.id();
        std::vector<value> kept;
        for (const auto& entry : entries) {
            if (!matches(entry, bridge)) {
                kept.push_back(entry);
            } else if (id.empty()) {
                id = id_of(entry);  // an id learned before is not forgotten
            }
        }
        value entry = value::object(true);
        if (!id.empty()) entry["id"] = value::string(id);
        entry["address"] = value::string(Hue::address_text(bridge.ip(), bridge.port()));
        entry["username"] = value::string(user_id);
        entry["scheme"] = value::string(bridge.scheme() == Hue::Scheme::Https ? "https" : "http");
        entry["port"] = value::number(bridge.port());
        if (!sha256.empty()) entry["sha256"] = value::string(sha256);
        kept.push_back(entry);
        entries = std::move(kept);
        return true;
    });
}

void CredentialsFile::remove(const Hue::Bridge& bridge, const std::string& user_id) const {
    if (m_path.empty()) return;
    update(m_path, false, [&](std::vector<value>& entries) {
        std::vector<value> kept;
        for (const auto& entry : entries) {
            if (!matches(entry, bridge) || entry.at("username").as_string() != user_id) {
                kept.push_back(entry);
            }
        }
        const bool changed = kept.size() != entries.size();
        entries = std::move(kept);
        return changed;
    });
}

}  // namespace Commands
