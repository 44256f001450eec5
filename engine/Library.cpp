// libebbcalc32.so is ebbcalc32_core linked whole; the version script ebbcalc32.map keeps
// every symbol but the EBC_* functions local. This file only gives the target a source.
