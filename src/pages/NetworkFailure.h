#pragma once
// Why a request of a page failed, told to the user with what to do next: the peer never answered, it refused the
// request, or its answer could not be read.

#include <string>

enum class NetworkFailure { NoAnswer, Refused, WrongAnswer };

// The failure an HTTP status stands for: 0 (no answer came) is NoAnswer, 401, 403 and 409 are Refused, anything
// else that is not 2xx is WrongAnswer.
NetworkFailure NetworkFailureOfStatus(int httpStatus);

// What the error box says of a failed request to the NVR, in the chosen language.
std::string RecorderFailureText(NetworkFailure failure);
