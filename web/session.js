// The session in the wasm, as the page calls it: one method per export.
// Strings come back through the reply buffer; strings and bytes go in
// through the input buffer, a call's fields one after another.

const encoder = new TextEncoder();
const decoder = new TextDecoder();

// The exports of a module made by instantiateOmnira (wasm.js), and its constants.
export function sessionOf(m) {
  const heap = () => m.HEAPU8;
  const reply = (ptr) => heap().slice(ptr, ptr + m._omnira_reply_size());
  const text = (ptr) => decoder.decode(reply(ptr));
  const bytesOf = (field) => (typeof field === 'string' ? encoder.encode(field) : field);
  // Writes the fields into the input buffer; their sizes, in order.
  const put = (...fields) => {
    const parts = fields.map(bytesOf);
    const at = m._omnira_input(parts.reduce((n, p) => n + p.length, 0));
    let offset = at;
    for (const p of parts) { heap().set(p, offset); offset += p.length; }
    return parts.map((p) => p.length);
  };
  const flag = (b) => (b ? 1 : 0);
  const constants = JSON.parse(text(m._omnira_constants()));
  const { width, height } = constants.lcd;
  const fields = constants.panel_fields;

  return {
    constants,
    frame: () => heap().subarray(m._omnira_frame(), m._omnira_frame() + width * height),
    palette: () => Array.from(new Uint32Array(heap().buffer, m._omnira_palette(), constants.lcd.palette_size)),

    elapse: (ms) => m._omnira_elapse(ms),
    untilNextTick: () => m._omnira_until_next_tick(),
    loopRunning: () => !!m._omnira_loop_running(),
    pass: () => m._omnira_pass(),
    instrumentOn: () => !!m._omnira_instrument_on(),

    powerOn: () => m._omnira_power_on(),
    powerOff: () => m._omnira_power_off(),
    key: (code) => m._omnira_key(code),
    moveSlider: (id, position) => m._omnira_move_slider(id, position),
    setExio: (checked) => m._omnira_set_exio(flag(checked)),
    setEngineTimers: (on) => m._omnira_set_engine_timers(flag(on)),
    enterFigure: (id, typed) => !!m._omnira_enter_figure(id, ...put(typed)),
    entryMessage: () => text(m._omnira_entry_message()),
    pageSlider: (id, direction) => m._omnira_page_slider(id, direction),

    panel() {
      const p = new Int32Array(heap().buffer, m._omnira_panel(), fields.length);
      return Object.fromEntries(fields.map((name, i) => [name, p[i]]));
    },
    settingsInForce: () => !!m._omnira_settings_in_force(),
    sliderText: (id) => text(m._omnira_slider_text(id)),
    sliderUnit: (id) => text(m._omnira_slider_unit(id)),
    lamp: () => m._omnira_lamp(),
    lampBright: () => !!m._omnira_lamp_bright(),
    lampName: () => text(m._omnira_lamp_name()),
    announcement: () => text(m._omnira_announcement()),
    description: () => text(m._omnira_description()),
    recording: () => reply(m._omnira_recording()),

    playScript: (bytes, name, source) => !!m._omnira_play_script(...put(bytes, name, source)),
    checkSlice: () => !!m._omnira_check_slice(),
    checking: () => !!m._omnira_checking(),
    checkProgress: () => m._omnira_check_progress(),
    cancelCheck: () => m._omnira_cancel_check(),

    playing: () => !!m._omnira_playing(),
    playerStatus: () => m._omnira_player_status(),
    pauseResume: () => m._omnira_pause_resume(),
    step: () => m._omnira_step(),
    restart: () => m._omnira_restart(),
    seek: (tick) => m._omnira_seek(tick),
    setSpeed: (speed) => m._omnira_set_speed(speed),
    changeSpeed: (direction) => m._omnira_change_speed(direction),
    speed: () => m._omnira_speed(),
    takeOver: () => m._omnira_take_over(),
    setHidden: (hidden) => m._omnira_set_hidden(flag(hidden)),

    status: () => text(m._omnira_status()),
    notice: (message) => m._omnira_notice(...put(message)),
    loadProfile: (bytes, name) => !!m._omnira_load_profile(...put(bytes, name)),
    factorySettings: () => m._omnira_factory_settings(),
    hasProfile: () => !!m._omnira_has_profile(),
    profileTitle: () => text(m._omnira_profile_title()),
    saveProfile: (title) => text(m._omnira_save_profile(...put(title))),
    takeAlert: () => text(m._omnira_take_alert()),
    takeLog: () => text(m._omnira_take_log()),
    noteShown: () => text(m._omnira_note_shown()),
    notesListed: () => m._omnira_notes_listed(),
    note: (i) => text(m._omnira_note(i)),
    notesEpoch: () => m._omnira_notes_epoch(),
    // The samples as a DataView over wasm memory, valid until the next call.
    timeline() {
      const size = m._omnira_timeline_size();
      return { size, data: new DataView(heap().buffer, m._omnira_timeline(), size * constants.sample.bytes) };
    },
    timelinePosition: () => m._omnira_timeline_position(),
    timelineSeekable: () => !!m._omnira_timeline_seekable(),
    timelineNoteCount: () => m._omnira_timeline_note_count(),
    timelineNoteTicks() {
      const count = m._omnira_timeline_note_count();
      return new Float64Array(heap().buffer, m._omnira_timeline_note_ticks(), count).slice();
    },
    timelineNoteText: (i) => text(m._omnira_timeline_note_text(i)),
    pictureCount: () => m._omnira_picture_count(),
    picture: (i) => heap().slice(m._omnira_picture(i), m._omnira_picture(i) + width * height),
    clockText: (ticks) => text(m._omnira_clock_text(ticks)),

    startLibraryLesson: (i) => !!m._omnira_start_library_lesson(i),
    lessonStatus: () => m._omnira_lesson_status(),
    lessonTitle: () => text(m._omnira_lesson_title()),
    lessonStep: () => m._omnira_lesson_step(),
    lessonSteps: () => m._omnira_lesson_steps(),
    lessonShownTask: () => text(m._omnira_lesson_shown_task()),
    lessonHintText: () => text(m._omnira_lesson_hint_text()),
    lessonHasHint: () => !!m._omnira_lesson_has_hint(),
    lessonWell: () => text(m._omnira_lesson_well()),
    // The lesson's texts new since the last call, for the live region.
    lessonAnnouncement: () => text(m._omnira_lesson_announcement()),
    lessonShowing: () => text(m._omnira_lesson_showing()),
    lessonShownKey: () => m._omnira_lesson_shown_key(),
    lessonHint: () => m._omnira_lesson_hint(),
    lessonShowMe: () => m._omnira_lesson_show_me(),
    lessonSkip: () => m._omnira_lesson_skip(),
    lessonLeave: () => m._omnira_lesson_leave(),

    openLog: (bytes, name) => !!m._omnira_open_log(...put(bytes, name)),
    logName: () => text(m._omnira_log_name()),
    logHeaderRow: () => m._omnira_log_header_row(),
    logColumnNames() {
      const names = [];
      for (let i = 0; i < m._omnira_log_column_count(); i++) names.push(text(m._omnira_log_column_name(i)));
      return names;
    },
    logColumn: (role) => m._omnira_log_column(role),
    setLogColumn: (role, column) => m._omnira_set_log_column(role, column),
    logUnits: () => ({ map: m._omnira_log_map_unit(), temp: m._omnira_log_temp_unit() }),
    setLogUnits: (map, temp) => m._omnira_set_log_units(map, temp),
    setLogPart: (start, end, clock) => m._omnira_set_log_part(...put(start, end), flag(clock)),
    logPart: () => ({ start: text(m._omnira_log_start()), end: text(m._omnira_log_end()), clock: !!m._omnira_log_part_clock() }),
    logHasClock: () => !!m._omnira_log_has_clock(),
    logUnderProfile: () => !!m._omnira_log_under_profile(),
    setLogUnderProfile: (under) => m._omnira_set_log_under_profile(flag(under)),
    convertLog: () => !!m._omnira_convert_log(),
    logError: () => text(m._omnira_log_error()),
    logSpan: () => text(m._omnira_log_span()),
    playLog: () => !!m._omnira_play_log(),
    logWarnings() {
      const all = [];
      for (let i = 0; i < m._omnira_log_warning_count(); i++) all.push(text(m._omnira_log_warning(i)));
      return all;
    },

    libraryAdd: (kind, name, bytes) => m._omnira_library_add(kind, ...put(name, bytes)),
    librarySetCourse: (kind, bytes) => m._omnira_library_set_course(kind, ...put(bytes)),
    libraryAddGolden: (kind, name, indices) => m._omnira_library_add_golden(kind, put(name, indices)[0]),
    libraryTitles(kind) {
      const titles = [];
      for (let i = 0; i < m._omnira_library_count(kind); i++) titles.push(text(m._omnira_library_title(kind, i)));
      return titles;
    },
    libraryText: (kind, i) => reply(m._omnira_library_text(kind, i)),
    libraryFind: (kind, name) => m._omnira_library_find(kind, ...put(name)),
    libraryName: (kind, i) => text(m._omnira_library_name(kind, i)),
    // The library entry the session holds now, or null.
    loaded() {
      const kind = m._omnira_loaded_kind();
      return kind < 0 ? null : { kind, index: m._omnira_loaded_index() };
    },
    playLibrary: (kind, i) => !!m._omnira_play_library(kind, i),

    linkOfferText: (bytes) => text(m._omnira_link_offer_text(...put(bytes))),
    printable: (bytes) => text(m._omnira_printable(...put(bytes))),
    keyAction: (code, key) => m._omnira_key_action(...put(code, key), constants.in_page),
    // Where a key goes with the focus on a control of kind `focus`.
    routeKey(code, key, focus, combined) {
      const r = m._omnira_route_key(...put(code, key), focus, flag(combined));
      return { kind: r & 15, action: (r >> 4) & 255, direction: (r >> 12) - 1 };
    },
    act: (action) => m._omnira_act(action),
    bindingsHelp: () => text(m._omnira_bindings_help(constants.in_page)),
  };
}
