#pragma once
// Bessel functions of whole order, computed the way spreadsheets have long computed BESSELI/J/K/Y:
// classic rational and polynomial fits for orders 0 and 1, recurrences for higher orders. Their
// results differ from the exact values in the eighth or ninth digit (J0(0) is 1.0000000028), and
// saved workbooks carry those values, so a recalculated workbook shows what it was saved with.
//
// The order is 0 or more; x is 0 or more for I and J (the caller applies their symmetry) and more
// than 0 for K and Y. A result beyond the largest number comes back infinite or NaN.
namespace calc {

double besselI(int order, double x);
double besselJ(int order, double x);
double besselK(int order, double x);
double besselY(int order, double x);

}  // namespace calc
