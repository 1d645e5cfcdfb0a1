#pragma once
// Reads one line of the recorder's camera list into a CameraRecord: up to nine ";"-separated fields in the order
// onRecorder; ip; mac; brand; model; account; password; extra; protocolType.

#include "session/CameraRecord.h"

#include <memory>
#include <string_view>

// The record of one camera line, or nullptr when the line names no address (an empty second field, or fewer
// than two fields) or holds a zero byte. A field is the text up to the next ";"; the last field runs to the end of the line; an empty
// rest after a ";" is no field (so "1;ip;" has two). Fields past the ninth are dropped; missing fields keep
// the record's defaults (account "admin", everything else empty, both flags 0).
std::unique_ptr<CameraRecord> ParseCameraLine(std::string_view line);

// The value of a protocol-type text: its leading decimal digits after optional blanks and one sign, 0 when
// there are none; values beyond the int range are held at its ends.
int ProtocolTypeValue(std::string_view text);

// Whether the recorder lists the camera as already added ("1" anywhere in the first field).
bool IsOnRecorder(const CameraRecord& camera);
