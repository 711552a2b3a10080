#include "http/event_stream.hpp"

#include <utility>


namespace Http {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

EventStreamReader::EventStreamReader(std::size_t line_limit, std::size_t data_limit)
    : m_line_limit(line_limit), m_data_limit(data_limit) {}

void EventStreamReader::restart() {
    m_line.clear();
    m_after_cr = false;
    m_bom_read = 0;
    m_at_start = true;
    m_data.clear();
    m_has_data = false;
    m_type.clear();
    m_error.reset();
}

void EventStreamReader::fail(std::string text, EventBatch& batch) {
    m_error = std::move(text);
    batch.error = m_error;
    // Nothing more is read: the memory of the partial line and event goes.
    std::string().swap(m_line);
    std::string().swap(m_data);
}

EventBatch EventStreamReader::feed(std::string_view bytes) {
    EventBatch batch;
    if (m_error) {
        batch.error = m_error;
        return batch;
    }
    // The byte order mark may itself come split over feeds; the part of it
    // seen before a byte that differs belongs to the first line.
    while (m_at_start && !bytes.empty()) {
        if (bytes.front() != kByteOrderMark[m_bom_read]) {
            m_line.assign(kByteOrderMark.substr(0, m_bom_read));
            m_at_start = false;
            break;
        }
        bytes.remove_prefix(1);
        if (++m_bom_read == kByteOrderMark.size()) m_at_start = false;
    }
    while (!bytes.empty() && !m_error) {
        if (m_after_cr) {
            m_after_cr = false;
            if (bytes.front() == '\n') {
                bytes.remove_prefix(1);
                continue;
            }
        }
        const std::size_t end = bytes.find_first_of("\r\n");
        const std::size_t length = end == std::string_view::npos ? bytes.size() : end;
        if (m_line.size() + length > m_line_limit) {
            fail("an event stream line is longer than " + std::to_string(m_line_limit) + " bytes",
                 batch);
            break;
        }
        if (end == std::string_view::npos) {
            m_line.append(bytes);
            break;
        }
        if (m_line.empty()) {
            take_line(bytes.substr(0, end), batch);
        } else {
            m_line.append(bytes.substr(0, end));
            take_line(m_line, batch);
            m_line.clear();
        }
        m_after_cr = bytes[end] == '\r';
        bytes.remove_prefix(end + 1);
    }
    return batch;
}

void EventStreamReader::take_line(std::string_view line, EventBatch& batch) {
    if (line.empty()) return dispatch(batch);
    if (line.front() == ':') {
        ++batch.heartbeats;
        return;
    }
    const std::size_t colon = line.find(':');
    const std::string_view field = line.substr(0, colon);
    std::string_view value;
    if (colon != std::string_view::npos) {
        value = line.substr(colon + 1);
        if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    }
    if (field == "data") {
        const std::size_t size = m_data.size() + (m_has_data ? 1 : 0) + value.size();
        if (size > m_data_limit) {
            return fail("an event's data is longer than " + std::to_string(m_data_limit) + " bytes",
                        batch);
        }
        if (m_has_data) m_data += '\n';
        m_data.append(value);
        m_has_data = true;
    } else if (field == "id") {
        if (value.find('\0') == std::string_view::npos) m_last_id.assign(value);
    } else if (field == "event") {
        m_type.assign(value);
    }
}

void EventStreamReader::dispatch(EventBatch& batch) {
    if (m_has_data) {
        batch.events.push_back(
            {m_last_id, m_type.empty() ? std::string("message") : m_type, std::move(m_data)});
    }
    m_data.clear();
    m_has_data = false;
    m_type.clear();
}

}  // namespace Http
