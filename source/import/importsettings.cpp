#include "importsettings.h"

#include <algorithm>

void ImportSettings::clamp()
{
    cropX = std::clamp(cropX, -1.0, 1.0);
    cropY = std::clamp(cropY, -1.0, 1.0);
    brightness = std::clamp(brightness, -100, 100);
    contrast = std::clamp(contrast, -100, 100);
    saturation = std::clamp(saturation, -100, 100);
    gamma = std::clamp(gamma, 0.2, 5.0);
}

bool ImportSettings::operator==(const ImportSettings &o) const
{
    return target == o.target && fit == o.fit && dither == o.dither && cropX == o.cropX && cropY == o.cropY
        && brightness == o.brightness && contrast == o.contrast && saturation == o.saturation && gamma == o.gamma;
}

const QStringList &importTargetNames()
{
    static const QStringList names = {QStringLiteral("dhgr"), QStringLiteral("hgr"), QStringLiteral("dhgr-mono"),
                                      QStringLiteral("hgr-mono")};
    return names;
}

const QStringList &importFitNames()
{
    static const QStringList names = {QStringLiteral("crop"), QStringLiteral("fit"), QStringLiteral("stretch")};
    return names;
}

const QStringList &importDitherNames()
{
    static const QStringList names = {QStringLiteral("none"), QStringLiteral("fs"), QStringLiteral("atkinson"),
                                      QStringLiteral("lookahead")};
    return names;
}
