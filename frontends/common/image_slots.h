// Room for the catalogue in a front-end's own record: the game numbers its
// images from 0 and has fewer than MaxImages; an id outside is ignored.
#pragma once

constexpr int MaxImages = 64;

constexpr bool IsImageSlot(int id) { return id >= 0 && id < MaxImages; }
