-- The new data source of the demo: the same tables after a while, with
-- inserted, deleted and updated rows, and a table of its own.
CREATE TABLE customers (
  id INTEGER NOT NULL PRIMARY KEY,
  name VARCHAR(40) NOT NULL,
  city VARCHAR(40),
  note VARCHAR(200),
  balance NUMERIC(10,2)
);
INSERT INTO customers VALUES (1, 'Ann Archer', 'Oslo', 'pays on time', 120.50);
INSERT INTO customers VALUES (2, 'Bob "the builder" Brown', 'Stavanger', 'quotes, commas, and all', 0);
INSERT INTO customers VALUES (3, 'Cécile O''Neill', 'Trondheim', 'two
lines', -15.25);
INSERT INTO customers VALUES (4, 'Dag Dahl', 'Ålesund', NULL, 10);
INSERT INTO customers VALUES (5, 'Eve Eng', 'Tromsø', '', 99.99);
INSERT INTO customers VALUES (7, 'Gro Gran', 'Narvik', 'new; says "hi"', 5);

CREATE TABLE orders (
  order_no INTEGER NOT NULL,
  line INTEGER NOT NULL,
  item VARCHAR(40),
  qty INTEGER,
  ordered TIMESTAMP
);
INSERT INTO orders VALUES (1001, 1, 'Widget, large', 3, '2024-03-01 09:15:00');
INSERT INTO orders VALUES (1001, 2, 'Gadget', 1, '2024-03-01 09:15:00');
INSERT INTO orders VALUES (1002, 1, 'Sprocket "XL"', 10, '2024-03-02 14:00:00');
INSERT INTO orders VALUES (1004, 1, 'Flange', 7, '2024-04-11 16:45:30');

CREATE TABLE products (
  code VARCHAR(10) NOT NULL PRIMARY KEY,
  title VARCHAR(60),
  price REAL,
  discontinued INTEGER
);
INSERT INTO products VALUES ('W-1', 'Widget', 4.5, 0);
INSERT INTO products VALUES ('G-1', 'Gadget', 12.0, 0);
INSERT INTO products VALUES ('S-9', 'Sprocket', 0.75, 1);

CREATE TABLE suppliers (
  id INTEGER NOT NULL PRIMARY KEY,
  name VARCHAR(60)
);
INSERT INTO suppliers VALUES (1, 'Nordic Parts AS');
