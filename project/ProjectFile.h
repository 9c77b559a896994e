#pragma once
// The project file: save and open.
