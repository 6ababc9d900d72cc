; fixed_display.asm - fixed display without parameters.
; The parameter source comes first: its values open the model data at fixed offsets.
        include fixed_display_0.asm

; model header: magic, format version, part count, offsets of the tables (from the data start)
model_header:
        dd      0A915F1E0h                 ; model magic
        dw      1, 0                    ; format version 1.0
        dw      part_count
        dw      vertex_count
        dd      vertex_table
        dd      colour_table
        dd      part_table
        dd      model_end               ; size of the model data
        dd      parameter_block         ; where the stand parameters lie

part_count      equ     2
vertex_count    equ     4

model_scale     real4   0.01
centre_height   real8   4.8

vertex_table:                           ; x, y, z in centimetres
        dw      -45, -30, 0
        dw       45, -30, 0
        dw       45,  30, 0
        dw      -45,  30, 0

colour_table:                           ; red, green, blue, alpha
        db      30, 30, 30, 255
        db      250, 250, 210, 255

part_table:                             ; first vertex, vertex count, colour index
        dw      0, 4, 0
        dw      0, 4, 1
model_end:
