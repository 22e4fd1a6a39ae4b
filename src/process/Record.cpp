// A record's curves, allocated once at full size.
#include "process/Record.h"

#include <new>

namespace {

CurveStore newCurve()
{
    auto* curve = static_cast<float*>(std::calloc(kStoreSize + 1, sizeof(float)));
    if (!curve)
        throw std::bad_alloc();
    return CurveStore(curve);
}

}  // namespace

Record::Record()
    : KurveU(newCurve())
    , KurveI(newCurve())
    , KurveQ(newCurve())
{
}
