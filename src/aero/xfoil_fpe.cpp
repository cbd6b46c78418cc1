// Preloaded into Debian's xfoil: the Fortran runtime calls this at start-up
// to trap floating-point exceptions, and XFOIL's viscous iterations meet
// them in ordinary sweeps, where it would otherwise recover on its own.
// Doing nothing leaves them untrapped.
extern "C" void _gfortran_set_fpe(int traps) { (void)traps; }
