#include "history/SampleRows.h"

#include <nlohmann/json.hpp>
#include <zlib.h>

namespace history {

namespace {

// Far beyond the 33 rows of the widest table, so that a damaged length
// cannot ask for an unbounded buffer.
constexpr int64_t kLongestRowsText = 1 << 20;

template <typename T>
nlohmann::ordered_json OrNull(const std::optional<T>& value)
{
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json();
}

nlohmann::ordered_json TextOrNull(const std::string& text)
{
    return text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(text);
}

template <typename T>
std::optional<T> Optional(const nlohmann::json& json, const char* key)
{
    const auto found = json.find(key);
    if (found == json.end() || !found->is_number_integer())
        return std::nullopt;
    return found->get<T>();
}

std::string Text(const nlohmann::json& json, const char* key)
{
    const auto found = json.find(key);
    return found != json.end() && found->is_string() ? found->get<std::string>() : std::string();
}

}  // namespace

nlohmann::ordered_json RowJson(const SampleRow& row)
{
    return {{"attribute_id", row.attributeId},
            {"name", TextOrNull(row.name)},
            {"normalized_value", OrNull(row.normalizedValue)},
            {"normalized_worst", OrNull(row.normalizedWorst)},
            {"normalized_threshold", OrNull(row.normalizedThreshold)},
            {"raw_value", OrNull(row.rawValue)},
            {"raw_bytes", row.rawBytes},
            {"current_value", OrNull(row.currentValue)},
            {"unit", TextOrNull(row.unit)},
            {"status_word", TextOrNull(row.statusWord)},
            {"limit", OrNull(row.limit)}};
}

SampleRow RowOfJson(const nlohmann::json& json)
{
    SampleRow row;
    row.attributeId = Optional<int>(json, "attribute_id").value_or(0);
    row.name = Text(json, "name");
    row.normalizedValue = Optional<int>(json, "normalized_value");
    row.normalizedWorst = Optional<int>(json, "normalized_worst");
    row.normalizedThreshold = Optional<int>(json, "normalized_threshold");
    row.rawValue = Optional<uint64_t>(json, "raw_value");
    const auto bytes = json.find("raw_bytes");
    if (bytes != json.end() && bytes->is_array()) {
        for (const auto& byte : *bytes) {
            if (byte.is_number_unsigned())
                row.rawBytes.push_back(byte.get<uint8_t>());
        }
    }
    row.currentValue = Optional<uint64_t>(json, "current_value");
    row.unit = Text(json, "unit");
    row.statusWord = Text(json, "status_word");
    row.limit = Optional<uint64_t>(json, "limit");
    return row;
}

EncodedRows EncodeRows(const std::vector<SampleRow>& rows)
{
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const SampleRow& row : rows)
        array.push_back(RowJson(row));
    const std::string text = array.dump();
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    EncodedRows encoded;
    encoded.bytes.resize(size);
    compress2(reinterpret_cast<Bytef*>(encoded.bytes.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), Z_BEST_COMPRESSION);
    encoded.bytes.resize(size);
    encoded.length = text.size();
    return encoded;
}

std::vector<SampleRow> DecodeRows(const std::string& bytes, int64_t length)
{
    std::vector<SampleRow> rows;
    if (length <= 0 || length > kLongestRowsText)
        return rows;
    std::string text(static_cast<size_t>(length), '\0');
    uLongf size = static_cast<uLongf>(length);
    if (uncompress(reinterpret_cast<Bytef*>(text.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                   static_cast<uLong>(bytes.size())) != Z_OK ||
        size != static_cast<uLongf>(length))
        return rows;
    const nlohmann::json array = nlohmann::json::parse(text, nullptr, false);
    if (!array.is_array())
        return rows;
    for (const auto& row : array) {
        if (row.is_object())
            rows.push_back(RowOfJson(row));
    }
    return rows;
}

}  // namespace history
