// What must hold after any run on any field texts: the checks of the fuzz
// targets, shared with the unit tests that replay the fuzz corpus.
//
// Input format: the field texts one after another, in the order of the
// window's rows (Field), each ended by a line feed. A missing field keeps
// its initial text; lines after the last field are ignored. An input whose
// first byte is 0x00 uses 0x00 instead of the line feed to end its fields,
// so that a field text can hold a line feed too.
#pragma once

#include <string>
#include <string_view>

#include "core/job_parameters.h"

namespace ventaro::fuzzing {

JobFields fieldsFromInput(std::string_view input);

// Runs one computation on the fields of the input. A failure must be one of
// the named error kinds with a well-formed report; a success must give a
// program of the expected line count and order, every line of a known kind,
// the copied field texts in place and file bytes with one CR LF per line.
// Returns the first broken rule, or the empty text.
std::string computeRunProblem(std::string_view input);

// The input holds the texts of the rotor diameter, the hub radius, a tool
// diameter and its stepover (in that order, same format). Runs the station
// count update for both tools. A failure must be a type mismatch, an
// overflow or a division by zero naming one of those fields; a success must
// give a number text that reads back as the same count.
std::string stationCountProblem(std::string_view input);

}  // namespace ventaro::fuzzing
