#include "listen/tine_pitch.h"

#include <cmath>

double keyHz(int key, double referenceHz)
{
    return referenceHz * std::exp2((key - 69) / 12.0);
}

double centsFrom(double hz, double wantedHz)
{
    return 1200.0 * std::log2(hz / wantedHz);
}

NearestTine nearestTine(double hz, const TineTuning& tuning)
{
    NearestTine nearest;
    if (!(hz > 0.0))
        return nearest;
    for (size_t i = 0; i < tuning.keys.size(); ++i) {
        const double cents = centsFrom(hz, keyHz(tuning.keys[i], tuning.referenceHz));
        if (nearest.tine == 0 || std::fabs(cents) < std::fabs(nearest.cents))
            nearest = {int(i) + 1, cents};
    }
    return nearest;
}
