#pragma once
// A sample's SMART rows as the database keeps them: a JSON array of the
// rows' typed values, with the keys of the CLI's JSON format 1
// (attribute_id, name, normalized_value, ...), compressed with zlib.

#include "history/HealthSample.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace history {

struct EncodedRows {
    std::string bytes;  // the zlib stream
    size_t length = 0;  // of the JSON text it holds
};

EncodedRows EncodeRows(const std::vector<SampleRow>& rows);
// The rows again; none when the bytes do not decode.
std::vector<SampleRow> DecodeRows(const std::string& bytes, int64_t length);

// One row's typed keys, in the CLI's order, and back.
nlohmann::ordered_json RowJson(const SampleRow& row);
SampleRow RowOfJson(const nlohmann::json& json);

}  // namespace history
