#include "http/request.hpp"

#include <string_view>

namespace Http {

bool fields_are_whole(const Fields& fields) {
    for (const auto& [name, value] : fields) {
        for (const std::string* text : {&name, &value}) {
            if (text->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
                return false;
            }
        }
    }
    return true;
}

std::string request_text(Method method, const std::string& target, const std::string& host,
                         bool keep_alive, const Fields& fields, const std::string& body) {
    const char* name = "GET";
    switch (method) {
        case Method::Put:
            name = "PUT";
            break;
        case Method::Post:
            name = "POST";
            break;
        case Method::Delete:
            name = "DELETE";
            break;
        case Method::Get:
            break;
    }
    std::string text = std::string(name) + " " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    if (!keep_alive) text += "Connection: close\r\n";
    for (const auto& [field, value] : fields) text += field + ": " + value + "\r\n";
    if (!body.empty()) text += "Content-Type: application/json\r\n";
    if (!body.empty() || method == Method::Put || method == Method::Post) {
        text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    text += "\r\n";
    text += body;
    return text;
}

}  // namespace Http
