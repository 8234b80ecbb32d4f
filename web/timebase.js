// The 100 ms timebase from real time: elapsed milliseconds become ticks, the
// rest is carried to the next call. After a long pause (a hidden tab, a busy
// machine) at most MAX_CATCH_UP ticks are made up and the rest is dropped.

export const TICK_MS = 100;
export const MAX_CATCH_UP = 50;

export class Timebase {
  constructor(now) {
    this.last = now;
    this.carry = 0;
  }

  // Ticks due at `now`.
  due(now) {
    this.carry += Math.max(0, now - this.last);
    this.last = now;
    let ticks = Math.floor(this.carry / TICK_MS);
    if (ticks > MAX_CATCH_UP) {
      ticks = MAX_CATCH_UP;
      this.carry %= TICK_MS;
    } else {
      this.carry -= ticks * TICK_MS;
    }
    return ticks;
  }

  // Milliseconds until the next tick is due.
  untilNext() {
    return TICK_MS - this.carry;
  }
}
