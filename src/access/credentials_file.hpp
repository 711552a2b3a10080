#ifndef GLOWRIG_ACCESS_CREDENTIALS_FILE_HPP_
#define GLOWRIG_ACCESS_CREDENTIALS_FILE_HPP_

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "http/endpoint.hpp"
#include "hue/bridge.hpp"

namespace Access {

// The user names that bridges granted to this program in place of the one it
// asked for, one entry per bridge, kept in a JSON file:
//
//   {
//     "bridges": [
//       {"id":"02aa00fffe4a5b6c","address":"https://192.168.1.20","username":"1028d6...",
//        "sha256":"AB:CD:...","v2":true}
//     ]
//   }
//
// "address" is where the bridge answers, as --bridge takes it but never a
// bare address: "https://IP[:PORT]" over HTTPS, "IP:PORT" or "[IPv6]:PORT"
// over plain HTTP. "id" is left out when the bridge was named by its address
// and its configuration told none (see Hue::configuration_bridge_id).
// "sha256" is the fingerprint of the certificate the bridge showed when it
// granted the name: its pin; a pinned bridge is reached over HTTPS only.
// "v2" is true when the bridge answered the newer interface's requests
// with the user name (see Hue::V2::has_newer_interface); absent otherwise.
// Entries written before keep reading: "IP" alone (plain HTTP on 80), and
// "scheme" and "port" beside the address, which they override. A file with
// an address of none of these forms (a host name) cannot be read as such.
//
// The file is read once, at the first lookup; a change is made under a lock
// on the directory, to the file as it is then (so that runs writing at the
// same time keep each other's entries), and written only when it changes
// the file. The directory is created private (0700) and the file is written
// private (0600), whole, by renaming a complete temporary file over it. A
// file that cannot be read as such is never written over. Safe for use by
// several threads and processes at once.
class CredentialsFile {
public:
    // One entry of the file.
    struct Entry {
        std::string username;
        std::string id;          // empty when the entry has none
        Http::Endpoint address;  // where the bridge answers; over HTTPS when pinned
        std::string sha256;      // the pinned fingerprint; empty: not pinned
        bool newer = false;      // the bridge has the newer interface for the user name
    };

    // The file at `path`; an empty path means there is no file: nothing is
    // found and storing fails.
    explicit CredentialsFile(std::string path);

    // The user name stored for `bridge`: that of the entry with the bridge's id
    // (compared ignoring letter case) when the bridge's id is known, else that
    // of an entry at the bridge's address; an entry without an id matches by
    // address either way. nullopt when the file does not exist or holds no
    // entry for the bridge. Throws std::runtime_error naming the file when it
    // exists but cannot be read as a credentials file, and naming the file
    // and the system's cause ("Permission denied", "Not a directory") when it
    // cannot be opened for another reason than that it does not exist.
    std::optional<std::string> find(const Hue::Bridge& bridge) const;

    // The whole entry find() takes its user name from.
    std::optional<Entry> find_entry(const Hue::Bridge& bridge) const;

    // The entries that carry an id, in the file's order: the bridges this
    // program remembers. Empty when the file does not exist. Throws as find().
    std::vector<Entry> remembered() const;

    // Makes `user_id` the user name stored for `bridge`, at the bridge's
    // endpoint and with `sha256` as its pin (none when empty), replacing the
    // entries that find() would match. Throws std::runtime_error naming the
    // file when it cannot be read or written.
    // `newer` tells that the bridge has the newer interface for the name.
    void store(const Hue::Bridge& bridge, const std::string& user_id,
               const std::string& sha256 = std::string(), bool newer = false) const;

    // Keeps whether `bridge` has the newer interface in the entries that
    // find() would match; writes nothing when they say so already. Throws as
    // store().
    void set_newer(const Hue::Bridge& bridge, bool newer) const;

    // Removes the entries for `bridge` that hold `user_id`. Writes nothing when
    // there is none. Throws as store().
    void remove(const Hue::Bridge& bridge, const std::string& user_id) const;

private:
    // The entries of the file as last read or written, read at the first call.
    // REQUIRES: m_mutex held.
    const std::vector<Entry>& entries() const;

    std::string m_path;
    mutable std::mutex m_mutex;
    mutable std::optional<std::vector<Entry>> m_entries;
};

}  // namespace Access

#endif  // GLOWRIG_ACCESS_CREDENTIALS_FILE_HPP_
