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
    setStartValues();
}

void Variabelen::setStartValues()
{
    DatensatzAlt1 = QStringLiteral("123");
    DatensatzAlt2 = QStringLiteral("234");
    DatensatzAlt3 = QStringLiteral("345");
    MessNr = 1;
    SkalaU = 63000;
    SkalaI = 52500;
    SkalaQ = 3150;
    LetzteSeite = 1;
    Seite = 1;
    MessungBeendet = 0;
    MinProSeite = 12;
    StatusAlt = 0;
    MessungGestoppt = 0;
}

Variabelen::~Variabelen() = default;
