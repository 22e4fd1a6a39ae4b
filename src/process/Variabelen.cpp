// The global state and the sample store, allocated once at full size.
#include "process/Variabelen.h"

Variabelen* V = nullptr;

Variabelen::Variabelen()
    : KurveU(new float[kStoreSize + 1]())
    , KurveI(new float[kStoreSize + 1]())
    , KurveQ(new float[kStoreSize + 1]())
{
}
