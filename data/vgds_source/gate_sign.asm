; gate_sign.asm - gate sign with the stand number.
; The parameter source comes first: its values open the model data at fixed offsets.
        include gate_sign_0.asm

; model header: magic, format version, part count, offsets of the tables (from the data start)
model_header:
        dd      0C8A7E500h                 ; model magic
        dw      1, 0                    ; format version 1.0
        dw      part_count
        dw      vertex_count
        dd      vertex_table
        dd      colour_table
        dd      part_table
        dd      model_end               ; size of the model data
        dd      parameter_block         ; where the stand parameters lie

part_count      equ     1
vertex_count    equ     4

model_scale     real4   0.01
centre_height   real8   6.0
sign_flags      dd      0ffffffffh      ; every face lit

vertex_table:                           ; x, y, z in centimetres
        dw      -120, -40, 0
        dw       120, -40, 0
        dw       120,  40, 0
        dw      -120,  40, 0

colour_table:                           ; red, green, blue, alpha
        db      255, 210, 0, 255

part_table:                             ; first vertex, vertex count, colour index
        dw      0, 4, 0
model_end:
