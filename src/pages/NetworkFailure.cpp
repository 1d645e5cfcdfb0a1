#include "pages/NetworkFailure.h"

#include "i18n/Localization.h"

NetworkFailure NetworkFailureOfStatus(int httpStatus)
{
    if (httpStatus == 0)
        return NetworkFailure::NoAnswer;
    if (httpStatus == 401 || httpStatus == 403 || httpStatus == 409)
        return NetworkFailure::Refused;
    return NetworkFailure::WrongAnswer;
}

std::string RecorderFailureText(NetworkFailure failure)
{
    switch (failure) {
    case NetworkFailure::NoAnswer:
        return Text("neterr_no_answer",
            "The NVR did not answer. Check that it is on and connected to the network, then try again.");
    case NetworkFailure::Refused:
        return Text("neterr_refused",
            "The NVR refused the request. If its password was changed meanwhile, go back and log in again.");
    case NetworkFailure::WrongAnswer:
        break;
    }
    return Text("neterr_wrong_answer",
        "The NVR's answer could not be read. Try again; if it happens again, restart the NVR.");
}
