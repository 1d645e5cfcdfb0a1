#pragma once
// The camera's moving test picture: colour bars, a bar that sweeps across, the camera's label and a time
// stamp, encoded as a baseline JPEG (libjpeg).

#include <string>

class TestPicture
{
public:
    static constexpr int width = 320;
    static constexpr int height = 240;

    // One picture for the given frame number; the text lines are drawn in upper case.
    static std::string jpeg(long long frame, const std::string& label, const std::string& stamp);
    // The same picture at another size (the bars, the moving bar and square follow the width and height).
    static std::string jpeg(
        long long frame, const std::string& label, const std::string& stamp, int pictureWidth, int pictureHeight);
};
