// The global state and the sample store, allocated once at full size.
#include "process/Variabelen.h"

#include "process/Journal.h"

#include <new>

Variabelen* V = nullptr;

namespace {

CurveStore newCurve()
{
    auto* curve = static_cast<float*>(std::calloc(kStoreSize + 1, sizeof(float)));
    if (!curve)
        throw std::bad_alloc();
    return CurveStore(curve);
}

}  // namespace

Variabelen::Variabelen()
    : KurveU(newCurve())
    , KurveI(newCurve())
    , KurveQ(newCurve())
{
}

Variabelen::~Variabelen() = default;
