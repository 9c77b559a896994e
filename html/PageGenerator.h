#pragma once
// The exported page.
